// Modules beside the program: parts loaded only when first needed, so that
// a start does not load the libraries they bring.
#pragma once

#include <QString>
#include <QtGlobal>

namespace widgets {

// The function `symbol` of the module `name` in the program's directory
// (the file name without its prefix and suffix); the module is loaded at
// the first call and stays loaded.  Null, with `error` said, when it cannot
// be loaded or lacks the function.
QFunctionPointer ProgramModuleFunction(const char* name, const char* symbol, QString& error);

}  // namespace widgets

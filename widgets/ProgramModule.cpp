#include "widgets/ProgramModule.h"

#include <QLibrary>

#include "platform/Environment.h"

namespace widgets {

QFunctionPointer ProgramModuleFunction(const char* name, const char* symbol, QString& error) {
  // A module's library is never unloaded: what it made may outlive any
  // QLibrary object.
  QLibrary module(QString::fromStdString(platform::ProgramDir()) + u'/' + QLatin1String(name));
  const QFunctionPointer function = module.resolve(symbol);
  error = function == nullptr ? module.errorString() : QString();
  return function;
}

}  // namespace widgets

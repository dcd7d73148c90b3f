// The program's help window lives in a module of its own beside the
// program ("kvmail_help"), with the help engine and the database it reads:
// a run that never asks for help never loads them.  The module is loaded at
// the first request and stays loaded.
#pragma once

#include <QString>

class QWidget;

namespace widgets {

// The help window as the program drives it.
class HelpPages {
 public:
  virtual ~HelpPages() = default;
  // The window itself; it deletes itself when closed.
  virtual QWidget* Window() = 0;
  // Whether the collection could be read.
  virtual bool IsReady() const = 0;
  // False when no topic has the context number.
  virtual bool ShowTopic(int context) = 0;
  virtual void ShowContents() = 0;
  virtual void ShowSearch() = 0;
  virtual void ShowUsingHelp() = 0;
};

// What the module exports: a new help window on the collection `collectionFile`.
using MakeHelpPages = HelpPages* (*)(const QString& collectionFile);
inline constexpr const char* kHelpModule = "kvmail_help";
inline constexpr const char* kMakeHelpPages = "KvMailMakeHelpPages";

}  // namespace widgets

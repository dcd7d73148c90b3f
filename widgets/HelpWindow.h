// The help window of the help module: the program's topics, written in
// HTML and compiled when the program is built into a help collection
// ("kvmail.qhc" and "kvmail.qch"), with the contents, an index and a
// full-text search beside the page.  Each topic a window asks for by its
// context number is found through the collection's keyword of that number.
#pragma once

#include <QTextBrowser>
#include <QWidget>

#include "widgets/HelpModule.h"

class QHelpEngine;
class QTabWidget;

namespace widgets {

// The page of a context number, "qthelp://..." ; empty when none exists.
QString HelpTopicUrl(QHelpEngine& engine, int context);

class THelpWindow : public QWidget, public HelpPages {
  Q_OBJECT
 public:
  // Opens the collection `collectionFile`.
  explicit THelpWindow(const QString& collectionFile, QWidget* parent = nullptr);
  ~THelpWindow() override;

  QWidget* Window() override { return this; }
  bool IsReady() const override { return ready_; }
  bool ShowTopic(int context) override;
  void ShowContents() override;
  void ShowSearch() override;
  void ShowUsingHelp() override;
  QHelpEngine& Engine() { return *engine_; }

  QTabWidget* Navigation;
  QTextBrowser* Page;

 private:
  void Open(const QUrl& url);

  QHelpEngine* engine_;
  bool ready_ = false;
  bool indexed_ = false;
};

}  // namespace widgets

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

// A search result's snippet as HTML to show: the page's text escaped, the
// words found in bold, cut at word boundaries, where an entity may have
// lost its "&" at the start or its ";" at the end.  Every entity comes out
// whole.
QString HelpSnippetHtml(const QString& snippet);

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
  QTextBrowser* SearchResults;

 private:
  void Open(const QUrl& url);
  // Searches for the words typed; while the index is being built, once it is.
  void Search();
  void ShowResults(int hits);

  QHelpEngine* engine_;
  bool ready_ = false;
  bool indexing_ = false;
  bool searchWaiting_ = false;
};

}  // namespace widgets

// The program's help: topics written in HTML, compiled when the program is
// built into a help collection that lies beside the program ("kvmail.qhc"
// and "kvmail.qch"), shown in a window with the contents, an index and a
// full-text search beside the page.  Each topic a window asks for by its
// context number is found through the collection's keyword of that number.
#pragma once

#include <QTextBrowser>
#include <QWidget>

#include "widgets/Help.h"

class QHelpEngine;
class QTabWidget;

namespace widgets {

// The help collection the program reads: a copy, in the user's cache, of
// the one beside the program (the search keeps its index beside the
// collection, and the program's directory may not be writable).  Empty when
// the program has no help collection.
QString HelpCollectionFile();

// The page of a context number, "qthelp://..." ; empty when none exists.
QString HelpTopicUrl(QHelpEngine& engine, int context);

class THelpWindow : public QWidget {
  Q_OBJECT
 public:
  // Opens the collection `collectionFile`.
  explicit THelpWindow(const QString& collectionFile, QWidget* parent = nullptr);
  ~THelpWindow() override;

  // Answers a request in the program's one help window, made on first use;
  // tells the user when the program has no help.
  static void Answer(HelpRequest request, int context);
  // The program's help window, or null before the first request.
  static THelpWindow* Instance();

  bool ShowTopic(int context);
  void ShowContents();
  void ShowSearch();
  void ShowUsingHelp();
  bool IsReady() const { return ready_; }
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

#include "widgets/HelpWindow.h"

#include <QAbstractButton>
#include <QTextBrowser>
#include <QToolButton>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResult>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>


namespace widgets {

namespace {

const QString kNamespace = QStringLiteral("kvmail.help");
const QString kUsingHelpPage = QStringLiteral("qthelp://kvmail.help/doc/using-help.html");
const QString kContentsPage = QStringLiteral("qthelp://kvmail.help/doc/index.html");

// A page of the collection in the browser.
class HelpBrowser : public QTextBrowser {
 public:
  HelpBrowser(QHelpEngine& engine, QWidget* parent) : QTextBrowser(parent), engine_(engine) {
    setOpenExternalLinks(true);
  }
  QVariant loadResource(int type, const QUrl& url) override {
    if (url.scheme() == QLatin1String("qthelp")) {
      const QByteArray data = engine_.fileData(url);
      // A style sheet is taken as text.
      if (type == QTextDocument::StyleSheetResource) return QString::fromUtf8(data);
      return data;
    }
    return QTextBrowser::loadResource(type, url);
  }

 private:
  QHelpEngine& engine_;
};

}  // namespace

QString HelpSnippetHtml(const QString& snippet) {
  // An entity's name, alone or as the word found, in bold.
  static const QString kName = QStringLiteral("(?:<b>(amp|quot|lt|gt|#39)</b>|(amp|quot|lt|gt|#39))");
  // "&quot" cut before its ";".
  static const QRegularExpression cutEnd(QStringLiteral("&") + kName + QStringLiteral(";?"));
  // "quot;" cut after its "&", at the start.
  static const QRegularExpression cutStart(QStringLiteral("^(\\.\\.\\.)?") + kName + QStringLiteral(";"));
  QString html = snippet;
  html.replace(cutStart, QStringLiteral("\\1&\\2\\3;"));
  html.replace(cutEnd, QStringLiteral("&\\1\\2;"));
  return html;
}

QString HelpTopicUrl(QHelpEngine& engine, int context) {
  const QList<QHelpLink> links = engine.documentsForIdentifier(kNamespace + u'.' + QString::number(context));
  return links.isEmpty() ? QString() : links.first().url.toString();
}

THelpWindow::THelpWindow(const QString& collectionFile, QWidget* parent)
    : QWidget(parent, Qt::Window), engine_(new QHelpEngine(collectionFile, this)) {
  setObjectName("HelpWindow");
  setWindowTitle(QStringLiteral("KV Mailbox Help"));
  resize(760, 520);
  ready_ = engine_->setupData();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  Navigation = new QTabWidget(splitter);
  Navigation->setObjectName("Navigation");
  Navigation->setAccessibleName("Contents, index and search");
  Navigation->addTab(engine_->contentWidget(), "&Contents");
  engine_->contentWidget()->setAccessibleName("Contents");
  engine_->indexWidget()->setAccessibleName("Index");

  auto* index = new QWidget;
  auto* indexLayout = new QVBoxLayout(index);
  auto* look = new QLineEdit(index);
  look->setObjectName("IndexFilter");
  look->setPlaceholderText("Type a word to look for");
  look->setAccessibleName("Word to look for in the index");
  indexLayout->addWidget(look);
  indexLayout->addWidget(engine_->indexWidget(), 1);
  Navigation->addTab(index, "&Index");
  connect(look, &QLineEdit::textChanged, this, [this](const QString& text) { engine_->indexWidget()->filterIndices(text); });
  connect(look, &QLineEdit::returnPressed, engine_->indexWidget(), &QHelpIndexWidget::activateCurrentItem);

  auto* search = new QWidget;
  auto* searchLayout = new QVBoxLayout(search);
  QHelpSearchEngine* searchEngine = engine_->searchEngine();
  searchLayout->addWidget(searchEngine->queryWidget());
  // The pages found, a link each with the words around what was found.
  SearchResults = new QTextBrowser(search);
  SearchResults->setObjectName("SearchResults");
  SearchResults->setAccessibleName("Pages found");
  SearchResults->setOpenLinks(false);
  searchLayout->addWidget(SearchResults, 1);
  connect(SearchResults, &QTextBrowser::anchorClicked, this, &THelpWindow::Open);
  // The search box and its buttons come without names; their hints say
  // what they do.
  searchEngine->queryWidget()->findChild<QLineEdit*>()->setAccessibleName("Words to search for");
  for (QAbstractButton* button : searchEngine->queryWidget()->findChildren<QAbstractButton*>())
    if (button->accessibleName().isEmpty())
      button->setAccessibleName(button->toolTip().isEmpty() ? button->text() : button->toolTip());
  Navigation->addTab(search, "&Search");
  connect(Navigation, &QTabWidget::currentChanged, this, [this, search, searchEngine](int) {
    if (Navigation->currentWidget() == search) searchEngine->queryWidget()->findChild<QLineEdit*>()->setFocus();
  });
  connect(searchEngine->queryWidget(), &QHelpSearchQueryWidget::search, this, &THelpWindow::Search);
  connect(searchEngine, &QHelpSearchEngine::searchingFinished, this, &THelpWindow::ShowResults);
  connect(searchEngine, &QHelpSearchEngine::indexingStarted, this, [this] { indexing_ = true; });
  connect(searchEngine, &QHelpSearchEngine::indexingFinished, this, [this] {
    indexing_ = false;
    if (searchWaiting_) Search();
  });

  Page = new HelpBrowser(*engine_, splitter);
  Page->setObjectName("Page");
  Page->setAccessibleName("Help topic");
  splitter->addWidget(Navigation);
  splitter->addWidget(Page);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({230, 530});
  layout->addWidget(splitter);

  connect(engine_->contentWidget(), &QHelpContentWidget::linkActivated, this, &THelpWindow::Open);
  connect(engine_->indexWidget(), &QHelpIndexWidget::documentActivated, this,
          [this](const QHelpLink& link) { Open(link.url); });
  connect(engine_->indexWidget(), &QHelpIndexWidget::documentsActivated, this,
          [this](const QList<QHelpLink>& links) {
            if (!links.isEmpty()) Open(links.first().url);
          });
  connect(Page, &QTextBrowser::sourceChanged, this, [this] {
    const QString caption = QStringLiteral("KV Mailbox Help");
    const QString title = Page->documentTitle();
    setWindowTitle(title.isEmpty() || title == caption ? caption : caption + QStringLiteral(" - ") + title);
  });
  connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, engine_->contentWidget(),
          &QTreeView::expandAll);
  engine_->contentModel()->createContents(QString());
  engine_->indexModel()->createIndex(QString());
  // The search's index is brought up to date whichever way help opened;
  // a search asked for meanwhile runs once it is.
  if (ready_) {
    indexing_ = true;
    searchEngine->reindexDocumentation();
  }
}

THelpWindow::~THelpWindow() = default;

void THelpWindow::Open(const QUrl& url) { Page->setSource(url); }

bool THelpWindow::ShowTopic(int context) {
  const QString url = HelpTopicUrl(*engine_, context);
  if (url.isEmpty()) return false;
  Open(QUrl(url));
  return true;
}

void THelpWindow::ShowContents() {
  Navigation->setCurrentIndex(0);
  Open(QUrl(kContentsPage));
}

void THelpWindow::Search() {
  QHelpSearchEngine* searchEngine = engine_->searchEngine();
  searchWaiting_ = indexing_;
  if (indexing_) {
    SearchResults->setHtml(QStringLiteral("<p>Preparing the search\u2026</p>"));
    return;
  }
  searchEngine->search(searchEngine->queryWidget()->searchInput());
}

void THelpWindow::ShowResults(int hits) {
  QString html;
  for (const QHelpSearchResult& result : engine_->searchEngine()->searchResults(0, hits))
    html += QStringLiteral("<p><a href=\"%1\">%2</a><br>%3</p>")
                .arg(result.url().toString().toHtmlEscaped(), result.title().toHtmlEscaped(),
                     HelpSnippetHtml(result.snippet()));
  SearchResults->setHtml(html.isEmpty() ? QStringLiteral("<p>No pages found.</p>") : html);
}

void THelpWindow::ShowSearch() {
  Navigation->setCurrentIndex(2);
  if (Page->source().isEmpty()) Open(QUrl(kContentsPage));
  engine_->searchEngine()->queryWidget()->setFocus();
}

void THelpWindow::ShowUsingHelp() { Open(QUrl(kUsingHelpPage)); }

}  // namespace widgets

// What the module exports.
extern "C" Q_DECL_EXPORT widgets::HelpPages* KvMailMakeHelpPages(const QString& collectionFile) {
  return new widgets::THelpWindow(collectionFile);
}

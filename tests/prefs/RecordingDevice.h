// A printer that records every document, page and text run, with metrics
// simple enough to lay pages out by hand: 100 dots per inch, a letter page
// of 850 x 1100, every character 10 wide, lines 20 high.
#pragma once

#include <QString>
#include <algorithm>
#include <string>
#include <vector>

#include "mailstore/MailError.h"
#include "prefs/PrintDevice.h"

namespace testing_support {

class RecordingDevice : public prefs::PrintDevice {
 public:
  struct Event {
    std::string kind;  // begin, page, end, abort, text
    int page = 0;      // the page it happened on
    prefs::PrintRect rect;
    QString text;      // the run, or the document's title
    Align align = Align::kLeft;
  };
  std::vector<Event> events;
  int failNewPageAt = 0;  // the NewPage call that throws, from 1; 0 never
  int newPages = 0;
  shell::FontSetting font;

  void BeginDoc(const QString& title) override {
    page_ = 1;
    events.push_back({"begin", page_, {}, title, Align::kLeft});
  }
  void NewPage() override {
    if (++newPages == failNewPageAt) throw mailstore::MailError::Other("Out of paper.");
    events.push_back({"page", page_, {}, {}, Align::kLeft});
    ++page_;
  }
  void EndDoc() override { events.push_back({"end", page_, {}, {}, Align::kLeft}); }
  void AbortDoc() override { events.push_back({"abort", page_, {}, {}, Align::kLeft}); }
  int PageNumber() const override { return page_; }
  int PageWidth() const override { return 850; }
  int PageHeight() const override { return 1100; }
  int DpiX() const override { return 100; }
  int DpiY() const override { return 100; }
  void SetFont(const shell::FontSetting& setting) override { font = setting; }
  int LineHeight() const override { return 20; }
  int AverageCharWidth() const override { return 10; }
  prefs::TextExtent Extent(QStringView run) const override { return {10 * static_cast<int>(run.size()), 20}; }
  void DrawText(const prefs::PrintRect& rect, QStringView run, Align align) override {
    events.push_back({"text", page_, rect, run.toString(), align});
  }

  // The runs drawn left-aligned (the body), in order.
  std::vector<Event> Body() const { return Of("text", Align::kLeft); }
  // The centred runs (headers and footers), in order.
  std::vector<Event> Bands() const { return Of("text", Align::kCentre); }
  long Count(const std::string& kind) const {
    return std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.kind == kind; });
  }
  std::vector<QString> Kinds() const {
    std::vector<QString> out;
    for (const Event& e : events) out.push_back(QString::fromStdString(e.kind));
    return out;
  }

 private:
  std::vector<Event> Of(const std::string& kind, Align align) const {
    std::vector<Event> out;
    for (const Event& e : events)
      if (e.kind == kind && e.align == align) out.push_back(e);
    return out;
  }
  int page_ = 0;
};

}  // namespace testing_support

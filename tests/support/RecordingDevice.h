// A printer that records every document, page and text run, with metrics
// simple enough to lay pages out by hand: 100 dots per inch, a letter page
// of 850 x 1100, every character 10 wide, lines 20 high.
#pragma once

#include <QString>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mailstore/MailError.h"
#include "prefs/PrintDevice.h"
#include "prefs/PrintMessage.h"
#include "prefs/SystemPrinters.h"

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
  std::function<void(const QString& run)> onText;  // called as each run is drawn

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
    if (onText) onText(run.toString());
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

// A print run nobody stops.
class NoProgress : public prefs::PrintProgress {
 public:
  void StartProgress(int) override {}
  void StepProgress(const QString&, const QString&, int) override {}
  void EndProgress() override {}
  bool Cancelled() const override { return false; }
  void ProcessPendingInput() override {}
};

// Printers for window tests: one printer of the given name whose every run
// prints on `device`.
class FakePrinters : public prefs::PrinterAccess {
 public:
  RecordingDevice device;
  QString name = QStringLiteral("Office Laser");
  QString nameAfterSetup = QStringLiteral("Second Floor");
  int setups = 0;
  int opened = 0;
  bool giveUp = false;  // the user gives the run up when asked for a file

  QString CurrentPrinterName() override { return name; }
  void RunSetupDialog(QWidget*) override {
    ++setups;
    name = nameAfterSetup;
  }
  std::unique_ptr<prefs::PrintDevice> OpenPrinter(const QString&, QWidget*) override {
    ++opened;
    if (giveUp) return nullptr;
    return std::make_unique<Forward>(device);
  }

 private:
  class Forward : public prefs::PrintDevice {
   public:
    explicit Forward(RecordingDevice& to) : to_(to) {}
    void BeginDoc(const QString& title) override { to_.BeginDoc(title); }
    void NewPage() override { to_.NewPage(); }
    void EndDoc() override { to_.EndDoc(); }
    void AbortDoc() override { to_.AbortDoc(); }
    int PageNumber() const override { return to_.PageNumber(); }
    int PageWidth() const override { return to_.PageWidth(); }
    int PageHeight() const override { return to_.PageHeight(); }
    int DpiX() const override { return to_.DpiX(); }
    int DpiY() const override { return to_.DpiY(); }
    void SetFont(const shell::FontSetting& font) override { to_.SetFont(font); }
    int LineHeight() const override { return to_.LineHeight(); }
    int AverageCharWidth() const override { return to_.AverageCharWidth(); }
    prefs::TextExtent Extent(QStringView run) const override { return to_.Extent(run); }
    void DrawText(const prefs::PrintRect& rect, QStringView run, Align align) override { to_.DrawText(rect, run, align); }

   private:
    RecordingDevice& to_;
  };
};

}  // namespace testing_support

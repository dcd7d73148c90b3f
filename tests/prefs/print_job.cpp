// Prints one message on the system's current printer, as the program
// would, for the test that runs a real print queue: first shows what the
// Print dialog's printer line says, then prints.
//
//   print_job NAME   prints "Prompt: ..." and exits 0, or 1 after an error
#include <QApplication>
#include <QPlainTextEdit>
#include <cstdio>

#include "platform/Clock.h"
#include "prefs/PrintAdapters.h"
#include "prefs/PrintDialog.h"
#include "support/RecordingDevice.h"

namespace {

class StderrUi : public mailstore::UserInteraction {
 public:
  int errors = 0;
  void ShowAlert(const std::string&, const std::string& text) override { Say(text); }
  bool AskUser(const std::string&, const std::string& text) override {
    Say(text);
    return false;
  }
  void ShowNotice(const std::string&, const std::string& text) override { Say(text); }
  void ShowErrorText(const std::string& text) override { Say(text); }
  void WarningBeep() override {}
  void PauseMs(int) override {}
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}

 private:
  void Say(const std::string& text) {
    ++errors;
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  prefs::SystemPrinters printers;
  shell::TPrinterOptions options;
  options.name = argv[1];
  options.header = "&F";
  {
    prefs::TPrintDialog dialog(printers);
    dialog.Fill(options);
    std::printf("Prompt: %s\n", dialog.Prompt->text().toUtf8().constData());
    std::fflush(stdout);
  }
  QPlainTextEdit text;
  text.setFont(QFont("Liberation Mono", 10));
  text.setPlainText("Dear Bob,\n\nthe printer on the second floor works again.\n\nAnn");
  StderrUi ui;
  std::unique_ptr<prefs::PrintDevice> device = printers.OpenPrinter(argv[1], nullptr);
  if (!device) return 1;
  testing_support::NoProgress progress;
  prefs::PrintMessageText(prefs::TextSnapshot(text), {"", "Printer", "12/7/2026 2:15p", "ANN"}, options, *device,
                          progress, platform::SystemClock(), ui);
  device.reset();
  return ui.errors == 0 ? 0 : 1;
}

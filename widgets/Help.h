// Help requests of every window go through here.  Until the program has its
// help, a request tells the user so; nothing pretends to show help.
#pragma once

#include <functional>

class QWidget;

namespace widgets {

// Help contexts of the forms.
inline constexpr int kHelpUserName = 920;

// Shows the help topic of `context`.
void ShowHelpTopic(int context, QWidget* parent = nullptr);

// Lets the help viewer take the requests over.
void SetHelpHandler(std::function<void(int context, QWidget* parent)> handler);

}  // namespace widgets

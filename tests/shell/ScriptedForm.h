// The user-name form as the login drives it, answering from a script.
#pragma once

#include <string>

#include "shell/Login.h"

namespace testing_support {

// The form as the login drives it; it answers from a script.
struct ScriptedForm : shell::UserNameForm {
  std::string openedOn;  // "", "name" or "password"
  std::string proposedName, storedPassword;
  bool answer = true;
  std::string typedName, typedPassword;
  int executions = 0;
  void OpenOnPasswordPage(const std::string& name, const std::string& stored) override {
    openedOn = "password";
    proposedName = name;
    storedPassword = stored;
  }
  void OpenOnNamePage() override { openedOn = "name"; }
  bool Execute(std::string& name, std::string& password) override {
    ++executions;
    if (!answer) return false;
    name = typedName.empty() ? proposedName : typedName;
    password = typedPassword;
    return true;
  }
};

}  // namespace testing_support

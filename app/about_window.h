#pragma once

#include "platform/toolkit.h"

// The About window: the program's name, the Windows versions it is made
// for, and OK.
class AboutWindow {
 public:
  AboutWindow();

  tk::Form& form() { return form_; }
  void onOk() { form_.unload(); }

 private:
  tk::Form form_;
  tk::CommandButton okButton_;
  tk::Label nameLabel_;
  tk::Label versionsLabel_;
};

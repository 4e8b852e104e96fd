#pragma once

#include "platform/toolkit.h"

// The About window: the program's name, the Windows versions it is made
// for, and OK.
class Form2 {
 public:
  Form2();

  tk::Form& form() { return form_; }
  void Command1_Click() { form_.unload(); }

 private:
  tk::Form form_;
  tk::CommandButton Command1;
  tk::Label Label1;
  tk::Label Label2;
};

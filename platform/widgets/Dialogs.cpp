// (in progress)
#include "platform/widgets/Forms.h"
int ShowMessageBox(const std::string&, const std::string&, UINT) { return IDOK; }

#pragma once
// The About box: name and version, credits, contacts and acknowledgements.
#include "modal_dialog.h"

class AboutDialog : public ModalDialog {
public:
    AboutDialog();

protected:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
};

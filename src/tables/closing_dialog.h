// A modeless dialog that Escape closes (and so destroys, with
// WA_DeleteOnClose) instead of hiding.
#pragma once

#include <QCloseEvent>
#include <QDialog>

namespace quorvane::gui {

class ClosingDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void reject() override { close(); }
    // QDialog's own close handling would route through reject() again and
    // then refuse the close of a still visible window.
    void closeEvent(QCloseEvent* event) override { event->accept(); }
};

}  // namespace quorvane::gui

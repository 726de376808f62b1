#include "msgbox.h"

#include <QMessageBox>
#include <QPushButton>

#include "runtime_p.h"
#include "widgets_p.h"

namespace rt {

int messagebox(const std::string& caption, const std::string& text, Icon icon) {
  if (auto& hook = detail::hooks().messagebox) return hook(caption, text, icon);
  // Owned by no window: a window freed while the box is up cannot take the box with it.
  QMessageBox box;
  box.setWindowModality(Qt::ApplicationModal);
  setTransientOwner(&box, detail::ownerForNewWindow());
  box.setWindowTitle(detail::qs(caption));
  box.setText(detail::qs(text));
  switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::StopSign: box.setIcon(QMessageBox::Critical); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
  return 1;
}

}  // namespace rt

#include "app/ui/VersionDlg.h"

#include <QVBoxLayout>

#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::app::ui {

TVersionDlg::TVersionDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("VersionDlg"));
  setWindowTitle(vendaro::ui::u8("ﾊﾞｰｼﾞｮﾝ情報"));
  auto* layout = new QVBoxLayout(this);
  ProductName = new QLabel(QStringLiteral("Vendaro For Win32"), this);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont f = ProductName->font();
  f.setPointSizeF(f.pointSizeF() * 1.5);
  f.setBold(true);
  ProductName->setFont(f);
  Version = new QLabel(QStringLiteral("Version 1.20"), this);
  Version->setObjectName(QStringLiteral("Version"));
  OKButton = vendaro::ui::namedButton(QStringLiteral("OK"), "OKButton", this, true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ProductName, 0, Qt::AlignHCenter);
  layout->addWidget(Version, 0, Qt::AlignHCenter);
  layout->addSpacing(12);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  setFixedSize(sizeHint().expandedTo(QSize(280, 150)));
}

}  // namespace vendaro::app::ui

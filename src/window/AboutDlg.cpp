// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/AboutDlg.h"

#include "resources/DialogTemplates.h"
#include "window/DialogBuilder.h"

#include <QAbstractButton>

CAboutDlg::CAboutDlg(const QIcon& icon, QWidget* parent) : QDialog(parent)
{
    setWindowIcon(icon);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    auto controls = BuildControls(this, AboutDialogTemplate());
    auto* ok = static_cast<QAbstractButton*>(controls.at(ControlId::AboutOk));
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

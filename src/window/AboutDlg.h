// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// The About box: the program's name, web site, mail address and rights line.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const QIcon& icon, QWidget* parent = nullptr);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DialogBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <cmath>

namespace {

int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

QWidget* CreateControl(const ControlTemplate& c, QWidget* dialog)
{
    QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::GroupBox: return new QGroupBox(caption, dialog);
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(dialog);
        edit->setReadOnly(c.style & StyleReadOnly);
        if (c.style & StyleCentred)
            edit->setAlignment(Qt::AlignCenter);
        return edit;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton: return new QPushButton(caption, dialog);
    case ControlKind::FlatButton: {
        auto* button = new QToolButton(dialog);
        button->setText(caption);
        return button;
    }
    case ControlKind::Label: return new QLabel(caption, dialog);
    case ControlKind::SunkenLabel: {
        auto* label = new QLabel(caption, dialog);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(dialog);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Every entry is one line of text: the list lays out thousands of
        // them without measuring each one again on every change.
        list->setUniformItemSizes(true);
        return list;
    }
    case ControlKind::CheckBox: return new QCheckBox(caption, dialog);
    case ControlKind::Icon: {
        auto* label = new QLabel(dialog);
        label->setPixmap(dialog->windowIcon().pixmap(32, 32));
        label->setScaledContents(true);
        return label;
    }
    case ControlKind::Rule: {
        auto* rule = new QFrame(dialog);
        rule->setFrameStyle(QFrame::HLine | QFrame::Plain);
        return rule;
    }
    case ControlKind::PlayerControl: break;
    }
    return new QWidget(dialog);
}

} // namespace

BaseUnits BaseUnitsOf(const QFont& font)
{
    QFontMetrics metrics(font);
    int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(alphabet / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const QRect& units, BaseUnits base)
{
    return QRect(MulDiv(units.x(), base.x, 4), MulDiv(units.y(), base.y, 8),
                 MulDiv(units.width(), base.x, 4), MulDiv(units.height(), base.y, 8));
}

QFont TemplateFont(const DialogTemplate& tmpl)
{
    QFont font = QString::fromUtf8(tmpl.fontFamily) == QLatin1String("MS Shell Dlg")
                     ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                     : QFont(QString::fromUtf8(tmpl.fontFamily));
    font.setPointSize(tmpl.pointSize);
    return font;
}

std::map<ControlId, QWidget*> BuildControls(QWidget* dialog, const DialogTemplate& tmpl,
                                            const std::map<ControlId, QWidget*>& provided)
{
    QFont font = TemplateFont(tmpl);
    dialog->setFont(font);
    BaseUnits base = BaseUnitsOf(font);
    dialog->setWindowTitle(QString::fromUtf8(tmpl.title));
    dialog->setFixedSize(DialogUnitsToPixels(QRect(0, 0, tmpl.width, tmpl.height), base).size());

    std::map<ControlId, QWidget*> controls;
    QWidget* previous = nullptr;
    for (const ControlTemplate& c : tmpl.controls) {
        auto given = provided.find(c.id);
        QWidget* widget = given != provided.end() ? given->second : CreateControl(c, dialog);
        widget->setParent(dialog);
        widget->setGeometry(DialogUnitsToPixels(QRect(c.x, c.y, c.w, c.h), base));
        widget->setVisible(c.shown);
        if (c.kind == ControlKind::GroupBox || c.kind == ControlKind::Rule) {
            // Frames sit behind the controls they surround and never take clicks.
            widget->lower();
            widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        if (c.id != ControlId::None) {
            widget->setProperty("controlId", static_cast<int>(c.id));
            controls[c.id] = widget;
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
    return controls;
}

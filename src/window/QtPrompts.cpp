// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/QtPrompts.h"

#include "window/sentences/DrillDialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace {

QMessageBox::Icon ToQtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Stop: return QMessageBox::Critical;
    case BoxIcon::Exclamation: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString FromBytes(const std::string& text) { return QString::fromStdString(text); }

std::string ToBytes(const QString& text) { return text.toStdString(); }

} // namespace

BoxAnswer QtPrompts::MessageBox(QWidget* owner, const std::string& caption, const std::string& text,
                                BoxButtons buttons, BoxIcon icon)
{
    QMessageBox box(ToQtIcon(icon), FromBytes(caption), FromBytes(text),
                    buttons == BoxButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    owner);
    int answer = box.exec();
    if (buttons == BoxButtons::Ok)
        return BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

QString QtNameFilters(const std::string& filter)
{
    QStringList parts = FromBytes(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        if (label.isEmpty() && pattern.isEmpty())
            break;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(label, pattern);
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtPrompts::OpenFile(QWidget* owner, const std::string& initialPath,
                                               const std::string& filter)
{
    QString filters = QtNameFilters(filter);
    QString chosen = QFileDialog::getOpenFileName(owner, QString(), FromBytes(initialPath), filters);
    if (chosen.isEmpty())
        return std::nullopt;
    return ToBytes(chosen);
}

std::optional<std::string> QtPrompts::SaveFile(QWidget* owner)
{
    QString chosen = QFileDialog::getSaveFileName(owner, QString(), QString(), QString(), nullptr,
                                                  QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return std::nullopt;
    return ToBytes(chosen);
}

std::optional<std::size_t> QtPrompts::ChooseOne(QWidget* owner, const std::string& caption, const std::string& label,
                                                const std::vector<std::string>& choices, std::size_t current)
{
    QStringList items;
    for (const std::string& choice : choices)
        items << FromBytes(choice);
    bool accepted = false;
    const QString chosen = QInputDialog::getItem(owner, FromBytes(caption), FromBytes(label), items,
                                                 int(std::min(current, choices.size() - 1)), false, &accepted);
    if (!accepted)
        return std::nullopt;
    return std::size_t(items.indexOf(chosen));
}

void QtPrompts::OpenUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(FromBytes(url)));
}

std::optional<DrillSettings> QtPrompts::ChooseDrill(QWidget* owner, const DrillSettings& current)
{
    DrillDialog dialog(current, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Settings();
}

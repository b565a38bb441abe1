#include "window/DataExchange.h"

#include "window/RecorderDlg.h"
#include "window/text/NumberText.h"

#include <QLineEdit>

namespace {

// A time box holds at most this many characters when it is read.
constexpr int kExchangeTextLimit = 399;

} // namespace

DataExchange::DataExchange(CRecorderDlg& dialog, Direction direction) : m_dialog(dialog), m_direction(direction) {}

QLineEdit* DataExchange::Box(ControlId id) const
{
    return static_cast<QLineEdit*>(m_dialog.Control(id));
}

void DataExchange::Time(ControlId id, double& value)
{
    if (m_failed)
        return;
    QLineEdit* box = Box(id);
    if (m_direction == Direction::ToControls) {
        QString text = QString::fromStdString(FormatShownTime(value));
        if (box->text() != text)
            box->setText(text);
        return;
    }
    std::optional<double> read = ParseLeadingNumber(box->text().left(kExchangeTextLimit).toStdString());
    if (!read) {
        m_failed = true;
        m_dialog.ShowMessage(m_dialog.Environment().appName, "Please enter a number.", BoxIcon::Exclamation);
        box->setFocus();
        box->selectAll();
        return;
    }
    value = *read;
}

void DataExchange::Text(ControlId id, std::string& value)
{
    if (m_failed)
        return;
    QLineEdit* box = Box(id);
    if (m_direction == Direction::FromControls) {
        value = box->text().toStdString();
        return;
    }
    QString text = QString::fromStdString(value);
    if (box->text() != text)
        box->setText(text);
}

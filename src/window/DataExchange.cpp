// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DataExchange.h"

#include "window/DialogPrompts.h"
#include "window/text/NumberText.h"

#include <QLineEdit>

namespace {

// A time box holds at most this many characters when it is read.
constexpr int kExchangeTextLimit = 399;

} // namespace

DataExchange::DataExchange(const std::map<ControlId, QWidget*>& controls, DialogPrompts& prompts, Direction direction)
    : m_controls(controls), m_prompts(prompts), m_direction(direction)
{
}

QLineEdit* DataExchange::Box(ControlId id) const
{
    return static_cast<QLineEdit*>(m_controls.at(id));
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
        m_prompts.ShowMessage(m_prompts.AppName(), "Please enter a number.", BoxIcon::Exclamation);
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

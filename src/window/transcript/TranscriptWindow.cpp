// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/transcript/TranscriptWindow.h"

#include "window/commands/WindowCommands.h"
#include "window/preferences/Preferences.h"
#include "window/transcript/TranscriptLineModel.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const QString kGeometryKey = QStringLiteral("Transcript/Geometry");
const QColor kHeardGround(255, 236, 150);
const QColor kTimeInk(110, 110, 110);
const QColor kTranslationInk(70, 90, 130);
constexpr int kPadding = 3;

// A line as the list draws it: its time in a column of its own, the text
// beside it (one row per line of a multi-line cue), and the translation
// under the text in a smaller type.
class LineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QString translation = index.data(TranscriptLineModel::TranslationRole).toString();
        int height = option.fontMetrics.height() * (int(text.count(QChar('\n'))) + 1);
        if (!translation.isEmpty())
            height += QFontMetrics(Smaller(option.font)).height() * (int(translation.count(QChar('\n'))) + 1);
        return {option.rect.width(), height + 2 * kPadding};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.highlight());
        else if (index.data(TranscriptLineModel::HeardRole).toBool())
            painter->fillRect(option.rect, kHeardGround);
        const QRect area = option.rect.adjusted(kPadding, kPadding, -kPadding, -kPadding);
        const int timeWidth = option.fontMetrics.horizontalAdvance(QStringLiteral("0:00:00.00  "));

        painter->setPen(selected ? option.palette.highlightedText().color() : kTimeInk);
        painter->drawText(QRect(area.left(), area.top(), timeWidth, option.fontMetrics.height()), Qt::AlignLeft,
                          index.data(TranscriptLineModel::TimeRole).toString());

        const QString text = index.data(Qt::DisplayRole).toString();
        const int textHeight = option.fontMetrics.height() * (int(text.count(QChar('\n'))) + 1);
        QRect textArea(area.left() + timeWidth, area.top(), area.width() - timeWidth, textHeight);
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        painter->drawText(textArea, Qt::AlignLeft | Qt::AlignTop, text);

        const QString translation = index.data(TranscriptLineModel::TranslationRole).toString();
        if (!translation.isEmpty()) {
            painter->setFont(Smaller(option.font));
            painter->setPen(selected ? option.palette.highlightedText().color() : kTranslationInk);
            painter->drawText(QRect(textArea.left(), textArea.bottom() + 1, textArea.width(),
                                    area.bottom() - textArea.bottom()),
                              Qt::AlignLeft | Qt::AlignTop, translation);
        }
        painter->restore();
    }

private:
    static QFont Smaller(QFont font)
    {
        font.setPointSizeF(font.pointSizeF() * 0.85);
        return font;
    }
};

} // namespace

TranscriptWindow::TranscriptWindow(QWidget& mainWindow, TranscriptLineModel& model, Preferences& preferences,
                                   WindowCommands& commands)
    : QWidget(&mainWindow, Qt::Window),
      m_preferences(preferences),
      m_commands(commands),
      m_headline(new QLabel(this)),
      m_problem(new QLabel(this)),
      m_list(new QListView(this))
{
    setWindowTitle(tr("Transcript"));
    setObjectName(QStringLiteral("transcriptWindow"));
    resize(420, 560);
    m_headline->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #a03020;"));
    m_problem->hide();
    m_list->setModel(&model);
    m_list->setItemDelegate(new LineDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rows are laid out as they come into view, so that a ten-hour book is
    // shown at once.
    m_list->setLayoutMode(QListView::Batched);
    m_list->installEventFilter(this);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex& index) { emit lineClicked(index.row()); });
    connect(m_list, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { emit lineDoubleClicked(index.row()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_headline);
    layout->addWidget(m_problem);
    layout->addWidget(m_list, 1);

    m_storeGeometry.setSingleShot(true);
    m_storeGeometry.setInterval(500);
    connect(&m_storeGeometry, &QTimer::timeout, this, &TranscriptWindow::StoreGeometry);
}

TranscriptWindow::~TranscriptWindow()
{
    if (m_storeGeometry.isActive())
        StoreGeometry();
}

void TranscriptWindow::AddPanel(QWidget* panel)
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(layout->indexOf(m_list), panel);
}

void TranscriptWindow::SetHeadline(const QString& text, bool failed)
{
    m_headline->setText(text);
    m_headline->setStyleSheet(failed ? QStringLiteral("color: #a03020;") : QString());
}

void TranscriptWindow::SetProblem(const QString& text)
{
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

QString TranscriptWindow::Headline() const
{
    return m_headline->text();
}

QString TranscriptWindow::Problem() const
{
    return m_problem->text();
}

void TranscriptWindow::Present()
{
    if (!m_placed) {
        m_placed = true;
        const QByteArray geometry = m_preferences.Value(kGeometryKey, QByteArray()).toByteArray();
        if (geometry.isEmpty() || !restoreGeometry(geometry)) {
            // Beside the main window the first time.
            const QWidget* main = parentWidget();
            move(main->frameGeometry().topRight() + QPoint(8, 0));
        }
    }
    show();
    raise();
}

void TranscriptWindow::ShowHeard(int row)
{
    if (row < 0 || !isVisible())
        return;
    m_list->scrollTo(m_list->model()->index(row, 0), QAbstractItemView::EnsureVisible);
}

bool TranscriptWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The list keeps Up, Down and the page keys; a key of a command of the
    // main window runs that command, as it would there.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (QAction* command = m_commands.CommandFor(key->keyCombination()); command && !key->isAutoRepeat()) {
            m_commands.Post(command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TranscriptWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (m_placed)
        m_storeGeometry.start();
}

void TranscriptWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_placed)
        m_storeGeometry.start();
}

void TranscriptWindow::StoreGeometry()
{
    m_preferences.SetValue(kGeometryKey, saveGeometry());
}

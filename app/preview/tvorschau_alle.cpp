#include "app/preview/tvorschau_alle.h"

#include "app/elidedtips.h"
#include "app/preview/planlistmodel.h"
#include "app/screenfit.h"
#include "app/windows.h"
#include "rename/backgroundplanner.h"
#include "text/messagetexts.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

Tvorschau_alle::Tvorschau_alle(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("vorschau_alle"));
    qv::centreOnScreen(this, QSize(720, 440));
    qv::keepInsideScreen(this);

    va_summe = new QLabel(this);
    va_summe->setObjectName(QStringLiteral("va_summe"));
    va_konflikte = new QCheckBox(this);
    va_konflikte->setObjectName(QStringLiteral("va_konflikte"));
    va_liste = new QTreeView(this);
    va_liste->setObjectName(QStringLiteral("va_liste"));
    va_liste->setRootIsDecorated(false);
    va_liste->setItemsExpandable(false);
    va_liste->setUniformRowHeights(true);
    va_liste->setAllColumnsShowFocus(true);
    va_liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    va_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    va_liste->setTextElideMode(Qt::ElideMiddle);
    qv::showElidedTextAsTooltip(va_liste);
    m_model = new qv::PlanListModel(this);
    va_liste->setModel(m_model);
    const int widths[] = {180, 180, 220, 110};
    for (int c = 0; c < 4; ++c)
        va_liste->setColumnWidth(c, widths[c]);
    // The columns share the list's width (fitColumns); a stretched last section would never
    // shrink below the width it started with.
    va_liste->header()->setStretchLastSection(false);
    va_liste->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(va_summe, 1);
    top->addWidget(va_konflikte);
    layout->addLayout(top);
    layout->addWidget(va_liste, 1);

    m_planner = new qv::BackgroundPlanner(this);
    connect(m_planner, &qv::BackgroundPlanner::planned, this, &Tvorschau_alle::showPlan);
    connect(va_konflikte, &QCheckBox::clicked, this, &Tvorschau_alle::va_konflikteClick);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    sprache();
}

void Tvorschau_alle::follow(qv::RenameRun run)
{
    m_planner->request(std::move(run));
}

bool Tvorschau_alle::planning() const
{
    return m_planner->busy();
}

void Tvorschau_alle::showPlan(const QVector<qv::RunEntry>& entries, const qv::RunResult& result)
{
    m_model->setPlan(entries, result);
    writeSummary();
}

void Tvorschau_alle::va_konflikteClick()
{
    m_model->setConflictsOnly(va_konflikte->isChecked());
}

void Tvorschau_alle::sprache()
{
    const qv::Texts texts = qv::Texts::of(qv::interfaceLanguage());
    setWindowTitle(texts.pick("Vorschau aller Einträge", "Preview All Entries"));
    va_liste->setAccessibleName(windowTitle());
    va_konflikte->setText(texts.pick("Nur Konflikte zeigen", "Show conflicts only"));
    m_model->setTexts({texts.pick("Alter Name", "Old Name"), texts.pick("Neuer Name", "New Name"),
                       texts.pick("Ordner", "Folder"), texts.pick("Ergebnis", "Outcome")},
                      texts);
    writeSummary();
}

void Tvorschau_alle::writeSummary()
{
    va_summe->setText(qv::planSummary(m_model->tally(), qv::Texts::of(qv::interfaceLanguage())));
}

bool Tvorschau_alle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == va_liste->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

// Every column keeps its share of the width, as the user last set it, so that all of them stay in
// sight whatever the window's size; a scroll bar would hide the outcome, the column that matters.
void Tvorschau_alle::fitColumns()
{
    QHeaderView* header = va_liste->header();
    const int last = header->count() - 1;
    const int room = va_liste->viewport()->width();
    int total = 0;
    for (int c = 0; c <= last; ++c)
        total += header->sectionSize(c);
    if (last < 1 || room <= 0 || total <= 0)
        return;
    // The outcome, last, takes what the others leave, and never less than a column's minimum.
    const int lastShare = std::max(header->minimumSectionSize(),
                                   int(qint64(header->sectionSize(last)) * room / total));
    const int others = total - header->sectionSize(last);
    const int share = std::max(0, room - lastShare);
    int used = 0;
    for (int c = 0; c < last; ++c) {
        header->resizeSection(c, int(qint64(header->sectionSize(c)) * share / std::max(1, others)));
        used += header->sectionSize(c);
    }
    header->resizeSection(last, std::max(header->minimumSectionSize(), room - used));
}

void Tvorschau_alle::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        m_model->paletteChanged();
}

#include "app/elidedtips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace qv {

bool ElidedTipDelegate::isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (opt.text.isEmpty())
        return false;
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The text is drawn inside the text rectangle less the margin the style keeps on each side,
    // as QCommonStyle draws an item view's cell.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const int room = textRect.width() - 2 * margin;
    return opt.fontMetrics.horizontalAdvance(opt.text) > room;
}

bool ElidedTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid() &&
        !index.data(Qt::ToolTipRole).isValid()) {
        if (isElided(option, index)) {
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view,
                               view->visualRect(index));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void showElidedTextAsTooltip(QAbstractItemView* view)
{
    view->setItemDelegate(new ElidedTipDelegate(view));
}

} // namespace qv

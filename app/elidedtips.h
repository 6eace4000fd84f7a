#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace qv {

// Paints like the default delegate; a cell whose text is cut short shows the whole text as its
// tooltip, a cell that shows all of it has none, so that hovering over a list stays quiet.
class ElidedTipDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Whether the cell shows less than its whole text.
    bool isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

// Gives the view that delegate.
void showElidedTextAsTooltip(QAbstractItemView* view);

} // namespace qv

#pragma once

#include "core/check/check_types.h"

#include <QAbstractItemModel>

#include <array>
#include <vector>

namespace lexanta {

class ListCheck;

// The findings of a list check as a tree: one row per kind with its count, the findings of
// that kind below it (entry, field, what is wrong). Rows are made only when shown, so a
// million findings cost an index each.
class FindingsModel : public QAbstractItemModel {
    Q_OBJECT

public:
    explicit FindingsModel(QObject* parent = nullptr);

    // Shows the check's findings (null: none) in a language.
    void show(const ListCheck* check, bool english);
    // The finding at a row; null for a kind's row.
    const Finding* finding(const QModelIndex& index) const;
    // The kind of a row (a kind's row or a finding's).
    CheckKind kindOf(const QModelIndex& index) const;
    QModelIndex kindIndex(CheckKind kind) const;
    // The row of the first finding of `kind` about (entry, field); invalid when none.
    QModelIndex indexOf(CheckKind kind, int entry, int field) const;
    int count(CheckKind kind) const {
        return static_cast<int>(byKind_[static_cast<int>(kind)].size());
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ListCheck* check_ = nullptr;
    bool english_ = true;
    std::array<std::vector<int>, kCheckKindCount> byKind_;
};

} // namespace lexanta

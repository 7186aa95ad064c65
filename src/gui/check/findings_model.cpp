#include "gui/check/findings_model.h"

#include "core/check/check_text.h"
#include "core/check/list_check.h"

namespace lexanta {

namespace {
constexpr quintptr kKindRow = 0; // internal id of a kind's row; a finding's is its kind + 1
} // namespace

FindingsModel::FindingsModel(QObject* parent) : QAbstractItemModel(parent) {}

void FindingsModel::show(const ListCheck* check, bool english) {
    beginResetModel();
    check_ = check;
    english_ = english;
    for (auto& v : byKind_)
        v.clear();
    if (check) {
        const std::vector<Finding>& findings = check->findings();
        for (std::size_t i = 0; i < findings.size(); ++i)
            byKind_[static_cast<int>(findings[i].kind)].push_back(static_cast<int>(i));
    }
    endResetModel();
}

const Finding* FindingsModel::finding(const QModelIndex& index) const {
    if (!check_ || !index.isValid() || index.internalId() == kKindRow)
        return nullptr;
    const auto& rows = byKind_[index.internalId() - 1];
    if (index.row() < 0 || index.row() >= static_cast<int>(rows.size()))
        return nullptr;
    return &check_
                ->findings()[static_cast<std::size_t>(rows[static_cast<std::size_t>(index.row())])];
}

CheckKind FindingsModel::kindOf(const QModelIndex& index) const {
    if (!index.isValid())
        return CheckKind::Duplicate;
    return static_cast<CheckKind>(index.internalId() == kKindRow ? index.row()
                                                                 : int(index.internalId()) - 1);
}

QModelIndex FindingsModel::kindIndex(CheckKind kind) const {
    return createIndex(static_cast<int>(kind), 0, kKindRow);
}

QModelIndex FindingsModel::indexOf(CheckKind kind, int entry, int field) const {
    if (!check_)
        return {};
    const auto& rows = byKind_[static_cast<int>(kind)];
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Finding& f = check_->findings()[static_cast<std::size_t>(rows[r])];
        if (f.entry == entry && f.field == field)
            return createIndex(static_cast<int>(r), 0, static_cast<quintptr>(kind) + 1);
    }
    return {};
}

QModelIndex FindingsModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, kKindRow);
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex FindingsModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kKindRow)
        return {};
    return createIndex(static_cast<int>(child.internalId()) - 1, 0, kKindRow);
}

int FindingsModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return kCheckKindCount;
    if (parent.internalId() != kKindRow || parent.column() != 0)
        return 0;
    return static_cast<int>(byKind_[parent.row()].size());
}

int FindingsModel::columnCount(const QModelIndex&) const {
    return 3;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (index.internalId() == kKindRow) {
        if (index.column() != 0)
            return {};
        const auto kind = static_cast<CheckKind>(index.row());
        return QStringLiteral("%1 (%2)").arg(kindTitle(kind, english_)).arg(count(kind));
    }
    const Finding* f = finding(index);
    if (!f)
        return {};
    switch (index.column()) {
    case 0:
        return f->entry + 1;
    case 1:
        return fieldTitle(f->field, english_);
    default:
        return describe(*f, check_->setup(), english_);
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* en[] = {"Entry", "Field", "Finding"};
    static const char* ru[] = {"Запись", "Поле", "Замечание"};
    return QString::fromUtf8(english_ ? en[section] : ru[section]);
}

} // namespace lexanta

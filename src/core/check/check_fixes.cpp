#include "core/check/check_fixes.h"

#include "core/check/cell_checks.h"
#include "core/check/list_check.h"
#include "core/vocab/drill_limits.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <map>
#include <set>

namespace lexanta {

namespace {

const KeyCollator& primaryCollator() {
    static const KeyCollator collator(QString(), KeyCollator::Strength::Primary);
    return collator;
}

const CodePage& pageOf(const ListCheck& check, int field) {
    return CodePage::get(check.setup().fields[field].codePage);
}

// The cell with the misspelt word at its place replaced; nothing when the cell no longer holds
// the word there or its page cannot hold the new one.
std::optional<std::string> respelt(std::string_view cell, const CodePage& page, int position,
                                   const QString& word, const QString& spelling) {
    QString text = page.decode(cell);
    if (position < 0 || text.mid(position, word.size()) != word)
        return std::nullopt;
    text.replace(position, word.size(), spelling);
    EncodeResult encoded = page.encode(text);
    if (!encoded.ok())
        return std::nullopt;
    return std::move(encoded.bytes);
}

// Non-empty texts of one field of the entries, each meaning once, joined by "; ".
std::string joined(const EntryTable& table, const std::vector<int>& entries, int field,
                   const CodePage& page) {
    std::string out;
    std::set<std::uint64_t> keys;
    std::set<std::string_view> plain;
    for (int e : entries) {
        const std::string_view text = table.text(e, field);
        if (text.empty())
            continue;
        const std::uint64_t key = primaryKeyHash(primaryCollator(), page.decode(text));
        const bool seen = key ? !keys.insert(key).second : !plain.insert(text).second;
        if (seen)
            continue;
        if (!out.empty())
            out += "; ";
        out += text;
    }
    return out;
}

// The members of a group that a Join takes: repeats join their first entry; a different
// answer joins the whole group.
std::vector<int> joinMembers(const ListCheck& check, std::vector<int> group, CheckKind kind) {
    if (kind == CheckKind::Duplicate && !group.empty()) {
        const int first = group.front();
        std::erase_if(group, [&](int e) { return !check.answersAgree(first, e); });
    }
    return group;
}

void planJoin(const EntryTable& table, const ListCheck& check, const std::vector<int>& members,
              ListEdit& edit) {
    const int first = members.front();
    std::vector<CellChange> cells;
    for (int field : {kAnswer, kComment}) {
        std::string text = joined(table, members, field, pageOf(check, field));
        if (text == table.text(first, field))
            continue;
        // The drill program would read the rest of the file out of step: the group stays as
        // it is, and its findings with it.
        if (text.size() > kDrillEntryLineLimit)
            return;
        cells.push_back({first, field, std::move(text)});
    }
    for (CellChange& c : cells)
        edit.cells.push_back(std::move(c));
    edit.removals.insert(edit.removals.end(), members.begin() + 1, members.end());
}

void finish(ListEdit& edit) {
    std::sort(edit.removals.begin(), edit.removals.end());
    edit.removals.erase(std::unique(edit.removals.begin(), edit.removals.end()),
                        edit.removals.end());
}

} // namespace

std::vector<Fix> fixesFor(const Finding& finding, const ListCheck& check) {
    std::vector<Fix> fixes;
    switch (finding.problem) {
    case Problem::Misspelt:
        for (const QString& s : check.suggestions(finding.field, finding.text))
            if (pageOf(check, finding.field).encode(s).ok())
                fixes.push_back({FixKind::Suggestion, s});
        break;
    case Problem::Blanks:
        fixes.push_back({FixKind::Tidy, {}});
        break;
    case Problem::EmptyEntry:
        fixes.push_back({FixKind::RemoveEntry, {}});
        break;
    case Problem::Duplicate:
    case Problem::DifferentAnswers:
        fixes.push_back({FixKind::Join, {}});
        fixes.push_back({FixKind::RemoveEntry, {}});
        break;
    case Problem::OtherScript:
    case Problem::SystemScript:
        if (const int charset = charsetForCodePage(finding.detail); charset >= 0)
            fixes.push_back({FixKind::SetCharset, {}, charset});
        break;
    case Problem::EmptyQuestion:
    case Problem::EmptyAnswer:
    case Problem::AnswerIsQuestion:
    case Problem::UndefinedByte:
        break;
    }
    return fixes;
}

ListEdit planFix(const Vocabulary& vocabulary, const ListCheck& check, const Finding& finding,
                 const Fix& fix) {
    ListEdit edit;
    const EntryTable& table = vocabulary.entries;
    if (finding.entry < 0 || finding.entry >= table.entryCount())
        return edit;
    const std::string_view cell = table.text(finding.entry, finding.field);
    switch (fix.kind) {
    case FixKind::Suggestion:
        if (auto text = respelt(cell, pageOf(check, finding.field), finding.position, finding.text,
                                fix.text))
            edit.cells.push_back({finding.entry, finding.field, std::move(*text)});
        break;
    case FixKind::Tidy:
        if (std::string text = tidyBlanks(cell); text != cell)
            edit.cells.push_back({finding.entry, finding.field, std::move(text)});
        break;
    case FixKind::RemoveEntry:
        if (table.entryCount() > 1)
            edit.removals.push_back(finding.entry);
        break;
    case FixKind::Join:
        if (const std::vector<int> members =
                joinMembers(check, check.groupOf(finding.entry), finding.kind);
            members.size() > 1)
            planJoin(table, check, members, edit);
        break;
    case FixKind::SetCharset:
        if (vocabulary.header.fonts[finding.field].charset != fix.charset) {
            edit.header = vocabulary.header;
            edit.header->fonts[finding.field].charset = fix.charset;
        }
        break;
    }
    finish(edit);
    return edit;
}

ListEdit planFixAll(const Vocabulary& vocabulary, const ListCheck& check, CheckKind kind,
                    const ProgressCallback& progress) {
    ListEdit edit;
    const EntryTable& table = vocabulary.entries;
    const std::vector<Finding>& findings = check.findings();
    const long long total = static_cast<long long>(findings.size());
    // Spelling: each cell once, its words from the last to the first, so that the places of
    // the earlier ones stay right.
    std::map<std::pair<int, int>, std::vector<const Finding*>> misspelt;
    for (long long i = 0; i < total; ++i) {
        const Finding& f = findings[static_cast<std::size_t>(i)];
        if (progress && i % 256 == 0)
            progress(i, total);
        if (f.kind != kind)
            continue;
        if (f.problem == Problem::Misspelt) {
            misspelt[{f.entry, f.field}].push_back(&f);
            continue;
        }
        if (f.problem == Problem::Duplicate || f.problem == Problem::DifferentAnswers)
            continue; // by groups, below
        const std::vector<Fix> fixes = fixesFor(f, check);
        if (fixes.empty())
            continue;
        ListEdit one = planFix(vocabulary, check, f, fixes.front());
        for (CellChange& c : one.cells)
            edit.cells.push_back(std::move(c));
        edit.removals.insert(edit.removals.end(), one.removals.begin(), one.removals.end());
        if (one.header) {
            if (!edit.header)
                edit.header = vocabulary.header;
            edit.header->fonts[f.field].charset = one.header->fonts[f.field].charset;
        }
    }
    if (kind == CheckKind::Duplicate || kind == CheckKind::DifferentAnswers) {
        for (const std::vector<int>& group : check.duplicateGroups()) {
            const bool differ = std::any_of(group.begin(), group.end(), [&](int e) {
                return !check.answersAgree(group.front(), e);
            });
            if (kind == CheckKind::DifferentAnswers && !differ)
                continue;
            if (const std::vector<int> members = joinMembers(check, group, kind);
                members.size() > 1)
                planJoin(table, check, members, edit);
        }
    }
    for (auto& [cell, words] : misspelt) {
        const CodePage& page = pageOf(check, cell.second);
        QString text = page.decode(table.text(cell.first, cell.second));
        std::sort(words.begin(), words.end(),
                  [](const Finding* a, const Finding* b) { return a->position > b->position; });
        for (const Finding* f : words) {
            if (text.mid(f->position, f->text.size()) != f->text)
                continue;
            for (const QString& s : check.suggestions(f->field, f->text))
                if (page.encode(s).ok()) {
                    text.replace(f->position, f->text.size(), s);
                    break;
                }
        }
        EncodeResult encoded = page.encode(text);
        if (encoded.ok() && encoded.bytes != table.text(cell.first, cell.second))
            edit.cells.push_back({cell.first, cell.second, std::move(encoded.bytes)});
    }
    if (edit.header && *edit.header == vocabulary.header)
        edit.header.reset();
    finish(edit);
    // The last remaining entry is never removed.
    if (static_cast<int>(edit.removals.size()) >= table.entryCount())
        edit.removals.pop_back();
    if (progress)
        progress(total, total);
    return edit;
}

} // namespace lexanta

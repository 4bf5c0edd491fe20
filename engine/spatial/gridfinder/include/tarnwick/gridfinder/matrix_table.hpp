// Matrix entries read once into a compact table, for C++ callers that
// resolve many phrases on one matrix. Unlike the lazy readers it reads every
// key up front, so a malformed entry is reported at construction. Texts are
// copied into one buffer, so that a pass over the matrix reads memory in order.
#pragma once

#include <array>
#include <vector>

#include "tarnwick/core/value.hpp"
#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

class MatrixTable final : public Entries {
public:
    explicit MatrixTable(const Sequence& entries, std::string name = "matrix");

    std::size_t size() const override { return rows_.size(); }
    std::string name(std::size_t i) const override;
    Number index(std::size_t i) const override { return rows_[i].index; }
    std::string_view text(std::size_t i) const override { return view(rows_[i].text); }
    std::string_view searchable(std::size_t i) const override { return view(rows_[i].searchable); }
    std::optional<std::string_view> element_type(std::size_t i) const override {
        if (!rows_[i].has_element_type) return std::nullopt;
        return view(rows_[i].element_type);
    }
    bool is_anchor_only(std::size_t i) const override { return rows_[i].is_anchor_only; }
    std::optional<Number> coordinate(std::size_t i, Coord c) const override {
        return rows_[i].coordinates[static_cast<std::size_t>(c)];
    }
    std::string_view attribute(std::size_t i, AnchorAttribute a) const override {
        return view(rows_[i].attributes[static_cast<std::size_t>(a)]);
    }
    std::string_view xpath(std::size_t i) const override { return view(rows_[i].xpath); }

private:
    struct Span {  // a text in the buffer
        std::uint32_t offset = 0, size = 0;
    };
    struct Row {
        Number index;
        Span text, searchable, element_type;
        bool has_element_type = false;
        bool is_anchor_only = false;
        std::array<std::optional<Number>, 8> coordinates;
        std::array<Span, 3> attributes;
        Span xpath;
    };

    Span keep(std::string_view s);
    std::string_view view(Span s) const { return std::string_view(texts_).substr(s.offset, s.size); }

    std::vector<Row> rows_;
    std::string texts_;
    std::string name_;
};

}  // namespace tarnwick::gridfinder

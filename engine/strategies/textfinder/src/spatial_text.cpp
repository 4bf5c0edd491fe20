// Verifying and extracting the text that sits beside an anchor text.
#include <cmath>

#include "ordering.hpp"
#include "records.hpp"
#include "surfaces.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"
#include "tarnwick/textfinder/matching.hpp"
#include "tarnwick/textfinder/tables.hpp"

namespace tarnwick::textfinder {

using detail::name_of;

namespace {

struct DirectionKeyword {
    std::string_view keyword;
    std::string_view direction;
};

// Longest keywords first; none is a prefix of another.
constexpr DirectionKeyword kDirections[] = {
    {"right of", "right"}, {"next to", "right"}, {"left of", "left"},
    {"below", "below"},    {"under", "below"},   {"above", "above"}};

constexpr std::string_view kArticles[] = {"the ", "a ", "an "};

// s without its first n code points.
std::string_view drop_code_points(std::string_view s, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t k = 0; k < n && pos < s.size(); ++k) text::next_code_point(s, pos);
    return s.substr(pos);
}

struct Phrase {
    std::string_view direction;  // empty when no keyword matched
    std::string_view anchor_text;
};

Phrase parse_phrase(std::string_view target) {
    std::string lowered = text::lower(target);
    for (const auto& d : kDirections) {
        if (!lowered.starts_with(d.keyword) || lowered.size() <= d.keyword.size() ||
            lowered[d.keyword.size()] != ' ')
            continue;
        std::string_view anchor = text::strip(drop_code_points(target, d.keyword.size()));
        for (std::string_view article : kArticles)
            if (text::lower(anchor).starts_with(article))
                anchor = drop_code_points(anchor, article.size());
        return {d.direction, anchor};
    }
    return {};
}

// Lower-cased, without currency signs and commas, trimmed.
std::string norm(std::string_view v) {
    std::string s = text::lower(v);
    for (std::string_view sign : {"$", "\xC2\xA3" /* £ */, "\xE2\x82\xAC" /* € */, ","})
        s = text::replace_all(s, sign, "");
    return std::string(text::strip(s));
}

bool has_position(const Map& element, const detail::RecordName& name) {
    const Map* box = detail::map_key(element, "bounding_box", name);
    return box && !box->empty() && !detail::text_key(element, "xpath", name).empty();
}

struct Box {
    double x, y, width, height;
};

// Every coordinate must be there: a box missing one is a malformed record.
Box box_of(const Map& element, const detail::RecordName& name) {
    const Map& box = *detail::map_key(element, "bounding_box", name);
    return {detail::coordinate(box, "x", name, nullptr),
            detail::coordinate(box, "y", name, nullptr),
            detail::coordinate(box, "width", name, nullptr),
            detail::coordinate(box, "height", name, nullptr)};
}

Resolution spatial_failure(std::string_view expected, std::optional<std::string> actual) {
    Resolution r = detail::failure(ResultShape::Verification);
    r.state.append("expected", Value(expected));
    if (actual) r.state.append("actual", Value(std::move(*actual)));
    return r;
}

}  // namespace

Resolution DOMStrategy::resolve_verify_spatial_text(std::string_view target,
                                                    std::string_view expected,
                                                    const RecordSet& text_elements,
                                                    const RecordSet& dom_elements) const {
    Phrase phrase = parse_phrase(target);
    if (phrase.direction.empty() || phrase.anchor_text.empty())
        return spatial_failure(expected, std::nullopt);
    std::string anchor_lower = text::lower(phrase.anchor_text);

    // Anchor candidates: first lines of text elements, else whole texts of
    // DOM elements, else their aria-labels.
    std::vector<ElementRef> anchors;
    std::span<const Value> texts = text_elements.get();
    std::string lowered;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto name = name_of(Source::Text, i);
        const Map& element = detail::record_map(texts[i], name);
        detail::lower_into(text::strip(detail::text_key(element, "text", name)), lowered);
        std::string_view first_line = lowered;
        first_line = text::strip(first_line.substr(0, first_line.find('\n')));
        if (first_line == anchor_lower && has_position(element, name))
            anchors.push_back({Source::Text, i});
    }
    bool use_tree_distance = !anchors.empty();
    if (anchors.empty()) {
        std::span<const Value> dom = dom_elements.get();
        for (std::string_view key : {"text", "aria-label"}) {
            for (std::size_t i = 0; i < dom.size(); ++i) {
                auto name = name_of(Source::Dom, i);
                const Map& element = detail::record_map(dom[i], name);
                std::string_view v;
                if (key == "text") {
                    v = detail::text_key(element, "text", name);
                } else if (const Map* attributes = detail::map_key(element, "attributes", name)) {
                    v = detail::attribute_text(*attributes, "aria-label", name);
                }
                detail::lower_into(text::strip(v), lowered);
                if (lowered == anchor_lower && has_position(element, name))
                    anchors.push_back({Source::Dom, i});
            }
            if (!anchors.empty()) break;
        }
    }
    if (anchors.empty())
        return spatial_failure(expected,
                               "anchor '" + std::string(phrase.anchor_text) + "' not found");

    auto records_of = [&](ElementRef ref) -> const RecordSet& {
        return ref.source == Source::Dom ? dom_elements : text_elements;
    };
    // The smallest anchor wins; the first among equals.
    ElementRef anchor = anchors.front();
    Box anchor_box{};
    for (std::size_t k = 0; k < anchors.size(); ++k) {
        ElementRef ref = anchors[k];
        Box box = box_of(detail::record_at(records_of(ref), ref), name_of(ref.source, ref.index));
        if (k == 0 || box.width * box.height < anchor_box.width * anchor_box.height) {
            anchor = ref;
            anchor_box = box;
        }
    }
    const Map& anchor_record = detail::record_at(records_of(anchor), anchor);
    std::string_view anchor_xpath =
        detail::text_key(anchor_record, "xpath", name_of(anchor.source, anchor.index));
    const void* anchor_identity = records_of(anchor).identity(anchor.index);
    double a_x = anchor_box.x, a_x2 = anchor_box.x + anchor_box.width;
    double a_y = anchor_box.y, a_y2 = anchor_box.y + anchor_box.height;
    double a_cx = (a_x + a_x2) / 2, a_cy = (a_y + a_y2) / 2;

    std::vector<ElementRef> candidates;
    std::vector<double> distances;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto name = name_of(Source::Text, i);
        const Map& element = detail::record_map(texts[i], name);
        if (text_elements.identity(i) == anchor_identity) continue;
        const Value* tag = element.find("tag");
        if (!tag || !tag->is_text() || !in_table(kTextOnlyTags, tag->as_text())) continue;
        if (!has_position(element, name)) continue;
        if (use_tree_distance &&
            dom_distance(anchor_xpath, detail::text_key(element, "xpath", name)) >
                kDomDistanceThreshold)
            continue;
        Box box = box_of(element, name);
        double el_cx = box.x + box.width / 2, el_cy = box.y + box.height / 2;
        bool keep = false;
        double distance = 0;
        if (phrase.direction == "right" || phrase.direction == "left") {
            keep = (phrase.direction == "right" ? el_cx > a_cx : el_cx < a_cx) && a_y <= el_cy &&
                   el_cy <= a_y2;
            distance = std::fabs(el_cx - a_cx);
        } else {
            keep = (phrase.direction == "below" ? el_cy > a_cy : el_cy < a_cy) && a_x <= el_cx &&
                   el_cx <= a_x2;
            distance = std::fabs(el_cy - a_cy);
        }
        if (keep) {
            candidates.push_back({Source::Text, i});
            distances.push_back(distance);
        }
    }
    if (candidates.empty()) {
        Resolution r = detail::success(ResultShape::Verification, anchor, {});
        r.state.append("expected", Value(expected));
        r.state.append("actual", Value("no element " + std::string(phrase.direction) + " of '" +
                                       std::string(phrase.anchor_text) + "'"));
        return r;
    }
    detail::sort_by_keys(candidates, std::move(distances), detail::number_less);

    ElementRef nearest = candidates.front();
    std::string actual(text::strip(detail::text_at(text_elements, nearest)));
    std::string want = norm(expected), got = norm(actual);
    // Both sides must say something: an empty text is contained in every text.
    bool verified = !want.empty() && !got.empty() &&
                    (got.find(want) != std::string::npos || want.find(got) != std::string::npos);
    Resolution r = detail::success(ResultShape::Verification, nearest, std::move(candidates));
    r.verified = verified;
    r.state.append("expected", Value(expected));
    r.state.append("actual", Value(std::move(actual)));
    return r;
}

Resolution DOMStrategy::resolve_extract_spatial_text(std::string_view target,
                                                     const RecordSet& text_elements,
                                                     const RecordSet& dom_elements) const {
    Resolution inner = resolve_verify_spatial_text(target, "", text_elements, dom_elements);
    Resolution r = detail::failure(ResultShape::Extraction);
    if (!inner.resolved || !inner.element) return r;
    ElementRef element = *inner.element;
    const RecordSet& records = element.source == Source::Dom ? dom_elements : text_elements;
    r.resolved = true;
    r.element = element;
    r.extracted = std::string(text::strip(detail::text_at(records, element)));
    r.candidates = std::move(inner.candidates);
    return r;
}

}  // namespace tarnwick::textfinder

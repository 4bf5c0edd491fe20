#include <algorithm>
#include <optional>

#include "codepoints.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/stepreader/instruction_parser.hpp"
#include "tarnwick/stepreader/tables.hpp"
#include "target_text.hpp"

namespace tarnwick::stepreader {

namespace {

// One step being parsed: `raw` is the trimmed, unquoted step and `lower` its
// per-character lower-cased copy, so a position found in `lower` cuts `raw`.
struct Step {
    cp::Text raw;
    cp::Text lower;
    std::vector<cp::Text> literals;

    cp::View rest(std::size_t from) const { return cp::slice(raw, from); }

    bool is_literal(cp::View t) const {
        return !t.empty() && std::find(literals.begin(), literals.end(), t) != literals.end();
    }

    // A literal stays as written; anything else is cleaned.
    cp::Text choose_target(cp::View t) const {
        return is_literal(t) ? cp::Text(t) : detail::clean_target(t);
    }

    // As choose_target, but a literal is recognised (and kept) trimmed.
    cp::Text choose_trimmed_target(cp::View t) const {
        cp::View trimmed = cp::strip(t);
        return is_literal(trimmed) ? cp::Text(trimmed) : detail::clean_target(t);
    }
};

Value text_value(cp::View t) { return Value(cp::encode(t)); }

Map record(std::string_view action, std::optional<cp::View> target, std::optional<cp::View> value,
           bool literal, std::optional<int> ordinal = std::nullopt) {
    Map m;
    m.reserve(5);
    m.append("action", Value(action));
    m.append("target", target ? text_value(*target) : Value());
    m.append("value", value ? text_value(*value) : Value());
    if (ordinal) m.append("ordinal", Value(*ordinal));
    m.append("_literal_target", Value(literal));
    return m;
}

// A record whose target went through target choice: the literal test is
// applied to the final target.
Map chosen(const Step& step, std::string_view action, const cp::Text& target,
           std::optional<cp::View> value = std::nullopt,
           std::optional<int> ordinal = std::nullopt) {
    return record(action, cp::View(target), value, step.is_literal(target), ordinal);
}

cp::View strip_quote_chars(cp::View s) {
    return cp::strip_char(cp::strip_char(cp::strip(s), U'"'), U'\'');
}

bool starts_with_spatial_keyword(cp::View lower) {
    return std::any_of(kSpatialKeywords.begin(), kSpatialKeywords.end(),
                       [&](std::string_view kw) { return cp::starts_with(lower, kw); });
}

// "type <value> into <target>" and "select <value> from <target>": the first
// separator after the keyword splits. nullopt when the part after the
// keyword holds no separator ("type into Name"), which the caller rejects.
std::optional<Map> split_at_separator(const Step& step, std::string_view action,
                                      std::size_t keyword_length, std::string_view separator) {
    cp::View r = step.rest(keyword_length);
    cp::View r_lower = cp::slice(step.lower, keyword_length);
    std::size_t p = cp::find(r_lower, separator);
    if (p == cp::View::npos) return std::nullopt;
    cp::View value = r.substr(0, p);
    cp::Text target = step.choose_trimmed_target(r.substr(p + separator.size()));
    return chosen(step, action, target, value);
}

std::optional<Map> parse_step(const Step& step) {
    const cp::View lower = step.lower;

    if (cp::starts_with(lower, "type ") && cp::find(lower, " into ") != cp::View::npos)
        return split_at_separator(step, "type", 5, " into ");
    if (cp::starts_with(lower, "select ") && cp::find(lower, " from ") != cp::View::npos)
        return split_at_separator(step, "select", 7, " from ");

    if (cp::starts_with(lower, "find exact text ")) {
        cp::View target = step.rest(16);
        return record("find_exact_text", target, std::nullopt, step.is_literal(target));
    }
    if (cp::starts_with(lower, "find text "))
        return chosen(step, "find_text", step.choose_target(step.rest(10)));

    // Both spellings have 13 characters.
    if (cp::starts_with(lower, "extract text ") || cp::starts_with(lower, "extract_text ")) {
        cp::View r = step.rest(13);
        cp::View r_lower = cp::slice(lower, 13);
        if (starts_with_spatial_keyword(r_lower))
            return record("extract_text_spatial", r, std::nullopt, false);
        if (cp::starts_with(r_lower, "from ")) r = r.substr(5);
        auto [ordinal, t] = detail::extract_ordinal(r);
        return chosen(step, "extract_text", step.choose_target(t), std::nullopt, ordinal);
    }
    if (cp::starts_with(lower, "click ")) {
        auto [ordinal, t] = detail::extract_ordinal(step.rest(6));
        return chosen(step, "click", step.choose_target(t), std::nullopt, ordinal);
    }
    if (cp::starts_with(lower, "hover "))
        return chosen(step, "hover", step.choose_target(step.rest(6)));

    if (cp::starts_with(lower, "navigate "))
        return record("navigate", strip_quote_chars(step.rest(9)), std::nullopt, false);
    if (cp::starts_with(lower, "press "))
        return record("press_key", cp::strip(step.rest(6)), std::nullopt, false);
    if (cp::equals(lower, "accept dialog"))
        return record("accept_dialog", std::nullopt, std::nullopt, false);
    if (cp::equals(lower, "dismiss dialog"))
        return record("dismiss_dialog", std::nullopt, std::nullopt, false);
    if (cp::starts_with(lower, "verify dialog says "))
        return record("verify_dialog", std::nullopt, step.rest(19), false);
    if (cp::starts_with(lower, "sendkeys ")) {
        cp::View keys = strip_quote_chars(step.rest(9));
        return record("sendkeys", keys, keys, false);
    }
    if (cp::starts_with(lower, "wait "))
        return record("wait", strip_quote_chars(step.rest(5)), std::nullopt, false);

    if (cp::starts_with(lower, "verify text ")) {
        // The expected text follows the last " is ", so a phrase may hold
        // "is" itself; an empty side falls through to the state suffixes.
        if (starts_with_spatial_keyword(cp::slice(lower, 12))) {
            std::size_t q = cp::rfind(lower, " is ");
            if (q != cp::View::npos) {
                cp::View target = cp::strip(cp::slice(step.raw, 12, q));
                cp::View value = cp::strip(step.rest(q + 4));
                if (!target.empty() && !value.empty())
                    return record("verify_spatial_text", target, value, false);
            }
        }
        for (const auto& [suffix, action] : kVerifyTextStates) {
            if (!cp::ends_with(lower, suffix)) continue;
            cp::View target = cp::strip(cp::slice(step.raw, 12, step.raw.size() - suffix.size()));
            return record(action, target, std::nullopt, step.is_literal(target));
        }
    }
    if (cp::starts_with(lower, "verify ")) {
        for (const auto& [suffix, action] : kVerifyStates) {
            if (!cp::ends_with(lower, suffix)) continue;
            cp::View t = cp::strip(cp::slice(step.raw, 7, step.raw.size() - suffix.size()));
            return chosen(step, action, step.choose_target(t));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string InstructionParser::rejection_message(std::string_view instruction) {
    std::vector<std::string> names(kSupportedActions.begin(), kSupportedActions.end());
    return "Unrecognised instruction: " + text::repr(instruction) +
           ". Supported actions: " + text::repr_list(names);
}

Map InstructionParser::parse(std::string_view instruction) const {
    cp::Text decoded = cp::decode(instruction);
    detail::Unquoted u = detail::unquote(cp::strip(decoded));
    Step step{std::move(u.text), {}, std::move(u.literals)};
    step.lower = cp::fold(step.raw);
    if (std::optional<Map> parsed = parse_step(step)) return std::move(*parsed);
    throw ValueError(rejection_message(instruction));
}

}  // namespace tarnwick::stepreader

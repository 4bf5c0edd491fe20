// Python module tarnwick.engine.strategies.textfinder: the Level 1 tables,
// the matching functions and DOMStrategy. Records are converted on the way
// in (only the keys the rules read, only for the sequences a path reads) and
// results hand back the caller's own record objects.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/python.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"
#include "tarnwick/textfinder/matching.hpp"
#include "tarnwick/textfinder/tables.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
using namespace tarnwick;
using namespace tarnwick::textfinder;

namespace {

std::string_view str_view(PyObject* o) {
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(o, &size);
    if (!data) {
        PyErr_Clear();
        return {};
    }
    return {data, static_cast<std::size_t>(size)};
}

std::string key_text(PyObject* key, const char* owner, const char* where = "") {
    std::string out;
    if (!py::read_str(key, out))
        py::raise_type_error(std::string(owner) + where + " has a key of type " +
                             Py_TYPE(key)->tp_name + "; record keys must be str");
    return out;
}

unsigned key_bit(std::string_view key) {
    namespace k = record_keys;
    switch (key.size()) {
        case 3: return key == "tag" ? k::tag : 0;
        case 4: return key == "text" ? k::text : 0;
        case 5: return key == "xpath" ? k::xpath : 0;
        case 10:
            return key == "attributes"   ? k::attributes
                   : key == "is_visible" ? k::is_visible
                   : key == "is_enabled" ? k::is_enabled
                                         : 0;
        case 12: return key == "bounding_box" ? k::bounding_box : 0;
        case 17: return key == "is_editable_field" ? k::is_editable_field : 0;
        default: return 0;
    }
}

bool read_attribute(std::string_view key) {
    return in_table(kMatchAttributes, key) || key == "class" || key == "id" || key == "role";
}

// The attributes map with the entries the rules read. Of data- attributes
// only the name is read, so their values are not converted.
Value attributes_value(PyObject* attributes, const char* owner) {
    if (!PyDict_Check(attributes)) return py::to_value(attributes, owner);
    Map map;
    map.reserve(static_cast<std::size_t>(PyDict_GET_SIZE(attributes)));
    Py_ssize_t pos = 0;
    PyObject *key, *item;
    while (PyDict_Next(attributes, &pos, &key, &item)) {
        std::string name = key_text(key, owner, "['attributes']");
        if (name.starts_with("data-") && name != "data-testid")
            map.append(std::move(name), Value());
        else if (read_attribute(name))
            map.append(std::move(name), py::to_value(item, owner));
    }
    return Value(std::move(map));
}

// Index of a record passed on its own rather than in a sequence.
constexpr std::size_t kLoneRecord = static_cast<std::size_t>(-1);

// One record, converted once, holding only the keys in `keys`.
Value record_value(PyObject* record, const char* sequence, std::size_t index,
                   unsigned keys = record_keys::all) {
    char owner[112];  // the record's name for error messages, without a heap allocation
    if (index == kLoneRecord)
        std::snprintf(owner, sizeof owner, "%.80s", sequence);
    else
        std::snprintf(owner, sizeof owner, "%.80s[%zu]", sequence, index);
    Map map;
    map.reserve(static_cast<std::size_t>(PyDict_GET_SIZE(record)));
    Py_ssize_t pos = 0;
    PyObject *key, *item;
    while (PyDict_Next(record, &pos, &key, &item)) {
        if (!PyUnicode_Check(key)) key_text(key, owner);
        std::string_view name = str_view(key);
        if (!(key_bit(name) & keys)) continue;
        if (name == "attributes")
            map.append(std::string(name), attributes_value(item, owner));
        else
            map.append(std::string(name), py::to_value(item, owner));
    }
    return Value(std::move(map));
}

// A list or tuple of record dicts from Python, converted on first use.
class PyRecords {
public:
    PyRecords(nb::handle sequence, const char* name, bool optional = false,
              unsigned keys = record_keys::all)
        : name_(name), keys_(keys) {
        if (optional && sequence.is_none()) return;
        if (!py::is_sequence(sequence))
            py::raise_type_error(std::string(name) + " must be a list of dicts, not " +
                                 py::kind_name(sequence));
        owner_ = nb::borrow(sequence);
        Py_ssize_t n = PySequence_Fast_GET_SIZE(sequence.ptr());
        PyObject** items = PySequence_Fast_ITEMS(sequence.ptr());
        objects_.assign(items, items + n);
        for (std::size_t i = 0; i < objects_.size(); ++i)
            if (!PyDict_Check(objects_[i]))
                py::raise_type_error(std::string(name) + "[" + std::to_string(i) +
                                     "] must be a dict, not " + Py_TYPE(objects_[i])->tp_name);
        identities_.assign(objects_.begin(), objects_.end());
    }

    std::span<const Value> load() {
        if (!loaded_) {
            values_.reserve(objects_.size());
            for (std::size_t i = 0; i < objects_.size(); ++i)
                values_.push_back(record_value(objects_[i], name_, i, keys_));
            loaded_ = true;
        }
        return values_;
    }

    RecordSet set() {
        return RecordSet([this] { return load(); }, identities_);
    }

    nb::object object(std::size_t i) const { return nb::borrow(objects_[i]); }

private:
    const char* name_;
    unsigned keys_;
    nb::object owner_;  // keeps the borrowed items alive for the call
    std::vector<PyObject*> objects_;
    std::vector<const void*> identities_;
    std::vector<Value> values_;
    bool loaded_ = false;
};

// Records by source, for turning positions back into the caller's objects.
struct Inputs {
    PyRecords* dom = nullptr;
    PyRecords* text = nullptr;

    nb::object object(ElementRef ref) const {
        return (ref.source == Source::Dom ? dom : text)->object(ref.index);
    }
};

nb::dict result_dict(const Resolution& r, const Inputs& inputs) {
    nb::object element = r.element ? inputs.object(*r.element) : nb::none();
    nb::list candidates;
    for (ElementRef ref : r.candidates) candidates.append(inputs.object(ref));
    nb::dict out;
    out["resolved"] = nb::bool_(r.resolved);
    if (r.shape == ResultShape::Verification) out["verified"] = nb::bool_(r.verified);
    out["confidence"] = nb::float_(r.confidence());
    out["element"] = element;
    if (r.shape == ResultShape::Verification) out["state"] = py::to_python(Value(r.state));
    if (r.shape == ResultShape::Extraction) out["extracted"] = py::text_object(r.extracted);
    out["candidates"] = candidates;
    return out;
}

bool bool_arg(nb::handle h, const char* name) {
    if (!PyBool_Check(h.ptr()))
        py::raise_type_error(std::string(name) + " must be bool, not " + py::kind_name(h));
    return h.ptr() == Py_True;
}

Value element_arg(nb::handle h) {
    if (!PyDict_Check(h.ptr()))
        py::raise_type_error(std::string("element must be a dict, not ") + py::kind_name(h));
    return record_value(h.ptr(), "element", kLoneRecord);
}

// A text key of the instruction: absent gives the empty text.
std::string instruction_text(nb::handle instruction, const char* key) {
    PyObject* v = PyDict_GetItemString(instruction.ptr(), key);
    if (!v) return {};
    std::string out;
    if (!py::read_str(v, out))
        py::raise_type_error(std::string("parsed_instruction['") + key + "'] must be str, not " +
                             Py_TYPE(v)->tp_name);
    return out;
}

// The ordinal, absent giving 1. Integers beyond 64 bits are clamped: any
// such ordinal already lies past either end of the matches.
std::int64_t instruction_ordinal(nb::handle instruction) {
    PyObject* v = PyDict_GetItemString(instruction.ptr(), "ordinal");
    if (!v) return 1;
    if (!PyLong_Check(v))
        py::raise_type_error(std::string("parsed_instruction['ordinal'] must be int, not ") +
                             Py_TYPE(v)->tp_name);
    int overflow = 0;
    long long n = PyLong_AsLongLongAndOverflow(v, &overflow);
    if (overflow > 0) return INT64_MAX;
    if (overflow < 0) return INT64_MIN;
    return n;
}

Instruction instruction_arg(nb::handle h) {
    if (!PyDict_Check(h.ptr()))
        py::raise_type_error(std::string("parsed_instruction must be a dict, not ") +
                             py::kind_name(h));
    Instruction ins;
    ins.action = instruction_text(h, "action");
    ins.target = instruction_text(h, "target");
    if (ins.action == "verify_spatial_text") ins.value = instruction_text(h, "value");
    static constexpr std::string_view routed[] = {
        "verify_spatial_text", "extract_text_spatial", "find_text",        "find_exact_text",
        "verify_present",      "verify_visible",       "verify_enabled",   "verify_disabled",
        "verify_text_present", "verify_text_visible"};
    if (std::find(std::begin(routed), std::end(routed), ins.action) == std::end(routed))
        ins.ordinal = instruction_ordinal(h);
    return ins;
}

nb::set string_set(std::span<const std::string_view> words) {
    nb::set out;
    for (auto w : words) out.add(py::text_object(w));
    return out;
}

struct PyDOMStrategy {};

const DOMStrategy kStrategy;

}  // namespace

NB_MODULE(textfinder, m) {
    py::prepare_module();

    m.attr("_TYPE_DESCRIPTORS") = string_set(kTypeDescriptors);
    nb::list match_attributes;
    for (auto a : kMatchAttributes) match_attributes.append(py::text_object(a));
    m.attr("_MATCH_ATTRIBUTES") = match_attributes;
    m.attr("_TEXT_ONLY_TAGS") = string_set(kTextOnlyTags);
    m.attr("_DOM_DISTANCE_THRESHOLD") = kDomDistanceThreshold;
    m.attr("_TYPEABLE_TAGS") = string_set(kTypeableTags);
    m.attr("_TYPEABLE_ROLES") = string_set(kTypeableRoles);
    m.attr("_SELECTABLE_TAGS") = string_set(kSelectableTags);

    m.def(
        "_strip_type_descriptors",
        [](nb::handle target) -> nb::object {
            std::string t = py::text_arg(target, "target");
            std::string stripped = strip_type_descriptors(t);
            if (stripped == t) return nb::borrow(target);
            return py::text_object(stripped);
        },
        nb::arg("target").none(),
        "Removes element-type words (button, field, ...) from both ends of a target phrase.");
    m.def(
        "_searchable_strings",
        [](nb::handle element, nb::handle include_label) {
            nb::list out;
            for (const auto& s : searchable_strings(element_arg(element),
                                                    bool_arg(include_label, "include_label")))
                out.append(py::text_object(s));
            return out;
        },
        nb::arg("element").none(), nb::arg("include_label").none() = false,
        "The human-readable strings of an element a target is matched against, in order.");
    m.def(
        "_matches_element",
        [](nb::handle target, nb::handle element, nb::handle include_label) {
            std::string t = py::text_arg(target, "target");
            return matches_element(t, element_arg(element),
                                   bool_arg(include_label, "include_label"));
        },
        nb::arg("target").none(), nb::arg("element").none(),
        nb::arg("include_label").none() = false,
        "Whether some lower-cased surface of the element contains the normalised target.");
    m.def(
        "_exact_matches_element",
        [](nb::handle target, nb::handle element, nb::handle include_label) {
            std::string t = py::text_arg(target, "target");
            return exact_matches_element(t, element_arg(element),
                                         bool_arg(include_label, "include_label"));
        },
        nb::arg("target").none(), nb::arg("element").none(),
        nb::arg("include_label").none() = false,
        "Whether some lower-cased, trimmed surface of the element equals the normalised target.");
    m.def(
        "_dom_distance",
        [](nb::handle a, nb::handle b) {
            return dom_distance(py::text_arg(a, "xpath_a"), py::text_arg(b, "xpath_b"));
        },
        nb::arg("xpath_a").none(), nb::arg("xpath_b").none(),
        "Tree steps between two elements given their absolute element paths.");
    m.def(
        "_filter_by_action",
        [](nb::handle action, nb::handle elements) -> nb::object {
            std::string a = py::text_arg(action, "action");
            PyRecords records(elements, "elements");
            if (a != "type" && a != "select") return nb::borrow(elements);
            auto kept = filter_by_action(a, records.load(), "elements");
            if (!kept) return nb::borrow(elements);
            nb::list out;
            for (std::size_t i : *kept) out.append(records.object(i));
            return out;
        },
        nb::arg("action").none(), nb::arg("elements").none(),
        "The elements an action can act on, or all of them when none qualifies.");

    nb::class_<PyDOMStrategy>(m, "DOMStrategy",
                              "Resolves a parsed instruction against a list of live DOM elements.")
        .def(nb::init<>())
        .def(
            "resolve",
            [](PyDOMStrategy&, nb::handle parsed_instruction, nb::handle dom_elements,
               nb::handle text_elements) {
                Instruction ins = instruction_arg(parsed_instruction);
                KeysRead keys = keys_read(ins.action);
                PyRecords dom(dom_elements, "dom_elements", false, keys.dom);
                PyRecords texts(text_elements, "text_elements", true, keys.text);
                Resolution r = kStrategy.resolve(ins, dom.set(), texts.set());
                return result_dict(r, {&dom, &texts});
            },
            nb::arg("parsed_instruction").none(), nb::arg("dom_elements").none(),
            nb::arg("text_elements").none() = nb::none(),
            "Resolves the instruction's target; verification, text-finding and spatial-text "
            "actions are routed to their own operations. Returns a result dict.")
        .def(
            "_resolve_find_text",
            [](PyDOMStrategy&, nb::handle target, nb::handle text_elements) {
                std::string t = py::text_arg(target, "target");
                PyRecords texts(text_elements, "text_elements", false,
                                keys_read("find_text").text);
                return result_dict(kStrategy.resolve_find_text(t, texts.set()), {nullptr, &texts});
            },
            nb::arg("target").none(), nb::arg("text_elements").none(),
            "Resolve by contains match \u2014 passes if target is a substring of any text element.")
        .def(
            "_resolve_find_exact_text",
            [](PyDOMStrategy&, nb::handle target, nb::handle text_elements) {
                std::string t = py::text_arg(target, "target");
                PyRecords texts(text_elements, "text_elements", false,
                                keys_read("find_exact_text").text);
                return result_dict(kStrategy.resolve_find_exact_text(t, texts.set()),
                                   {nullptr, &texts});
            },
            nb::arg("target").none(), nb::arg("text_elements").none(),
            "Resolve by exact equality \u2014 element text must equal target (case-insensitive).")
        .def(
            "_resolve_verify",
            [](PyDOMStrategy&, nb::handle action, nb::handle target, nb::handle dom_elements) {
                std::string a = py::text_arg(action, "action");
                std::string t = py::text_arg(target, "target");
                PyRecords dom(dom_elements, "dom_elements", false,
                              keys_read("verify_present").dom);
                return result_dict(kStrategy.resolve_verify(a, t, dom.set()), {&dom, nullptr});
            },
            nb::arg("action").none(), nb::arg("target").none(), nb::arg("dom_elements").none(),
            "Find target element then assert its state matches the requested condition.")
        .def(
            "_resolve_verify_text",
            [](PyDOMStrategy&, nb::handle action, nb::handle target, nb::handle text_elements) {
                std::string a = py::text_arg(action, "action");
                std::string t = py::text_arg(target, "target");
                PyRecords texts(text_elements, "text_elements", false,
                                keys_read("verify_text_present").text);
                return result_dict(kStrategy.resolve_verify_text(a, t, texts.set()),
                                   {nullptr, &texts});
            },
            nb::arg("action").none(), nb::arg("target").none(), nb::arg("text_elements").none(),
            "Find text element containing target then assert its state.")
        .def(
            "_resolve_verify_spatial_text",
            [](PyDOMStrategy&, nb::handle target, nb::handle expected, nb::handle text_elements,
               nb::handle dom_elements) {
                std::string t = py::text_arg(target, "target");
                std::string e = py::text_arg(expected, "expected");
                KeysRead spatial = keys_read("verify_spatial_text");
                PyRecords texts(text_elements, "text_elements", false, spatial.text);
                PyRecords dom(dom_elements, "dom_elements", true, spatial.dom);
                return result_dict(
                    kStrategy.resolve_verify_spatial_text(t, e, texts.set(), dom.set()),
                    {&dom, &texts});
            },
            nb::arg("target").none(), nb::arg("expected").none(), nb::arg("text_elements").none(),
            nb::arg("dom_elements").none() = nb::none(),
            "Checks the text nearest an anchor in a direction (\"below Total\") against the "
            "expected text.")
        .def(
            "_resolve_extract_spatial_text",
            [](PyDOMStrategy&, nb::handle target, nb::handle text_elements,
               nb::handle dom_elements) {
                std::string t = py::text_arg(target, "target");
                KeysRead spatial = keys_read("verify_spatial_text");
                PyRecords texts(text_elements, "text_elements", false, spatial.text);
                PyRecords dom(dom_elements, "dom_elements", true, spatial.dom);
                return result_dict(
                    kStrategy.resolve_extract_spatial_text(t, texts.set(), dom.set()),
                    {&dom, &texts});
            },
            nb::arg("target").none(), nb::arg("text_elements").none(),
            nb::arg("dom_elements").none() = nb::none(),
            "Reads the text nearest an anchor in a direction (\"left of Qty\").");

    // Benchmark hook: converts the records once, then times `repeat` core
    // resolutions; returns seconds per resolution.
    m.def(
        "_bench_core",
        [](nb::handle parsed_instruction, nb::handle dom_elements, nb::handle text_elements,
           int repeat) {
            Instruction ins = instruction_arg(parsed_instruction);
            PyRecords dom(dom_elements, "dom_elements");
            PyRecords texts(text_elements, "text_elements", true);
            RecordSet dom_set(dom.load()), text_set(texts.load());
            std::size_t sink = 0;
            auto start = std::chrono::steady_clock::now();
            for (int k = 0; k < repeat; ++k)
                sink += kStrategy.resolve(ins, dom_set, text_set).candidates.size();
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            (void)sink;
            return elapsed.count() / std::max(repeat, 1);
        },
        nb::arg("parsed_instruction"), nb::arg("dom_elements"),
        nb::arg("text_elements").none() = nb::none(), nb::arg("repeat") = 100);
}

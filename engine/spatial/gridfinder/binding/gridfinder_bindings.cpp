// Python module tarnwick.engine.spatial.gridfinder: MatrixResolver, the
// target-phrase parser and the geometry helpers.
//
// The matrix stays the caller's list of dicts. Each call reads only the keys
// it needs, in place (texts as views of their str objects), because a
// resolve touches a few keys of most entries and the geometry of a few; the
// core answers with positions, and results hold the caller's own entries and
// element records.
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/cpu_clock.hpp"
#include "tarnwick/core/python.hpp"
#include "tarnwick/gridfinder/geometry.hpp"
#include "tarnwick/gridfinder/resolver.hpp"
#include "tarnwick/gridfinder/target.hpp"
#include "tarnwick/gridfinder/matrix_table.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace gf = tarnwick::gridfinder;

namespace {

struct Keys {
    PyObject *index, *text, *searchable, *element_type, *is_anchor_only, *position, *element,
        *attributes, *xpath, *target;
    PyObject* coords[8];      // by gf::Coord
    PyObject* attributes_[3];  // by gf::AnchorAttribute
    PyObject *resolved, *confidence, *candidates, *anchor_text, *ordinal, *type_relaxed,
        *actual_type;
};
Keys k;

PyObject* intern(std::string_view s) {
    PyObject* o = PyUnicode_InternFromString(std::string(s).c_str());
    if (!o) throw nb::python_error();
    return o;
}

void init_keys() {
    k.index = intern("index");
    k.text = intern("text");
    k.searchable = intern("searchable");
    k.element_type = intern("element_type");
    k.is_anchor_only = intern("is_anchor_only");
    k.position = intern("position");
    k.element = intern("element");
    k.attributes = intern("attributes");
    k.xpath = intern("xpath");
    k.target = intern("target");
    for (int c = 0; c < 8; ++c) k.coords[c] = intern(gf::coord_name(static_cast<gf::Coord>(c)));
    for (int a = 0; a < 3; ++a)
        k.attributes_[a] = intern(gf::attribute_name(static_cast<gf::AnchorAttribute>(a)));
    k.resolved = intern("resolved");
    k.confidence = intern("confidence");
    k.candidates = intern("candidates");
    k.anchor_text = intern("anchor_text");
    k.ordinal = intern("ordinal");
    k.type_relaxed = intern("type_relaxed");
    k.actual_type = intern("actual_type");
}

[[noreturn]] void wrong_kind(const std::string& what, const char* expected, PyObject* o) {
    throw tarnwick::TypeError(what + " must be " + expected + ", not " + Py_TYPE(o)->tp_name);
}

std::string member(const std::string& where, std::string_view key) {
    return where + "['" + std::string(key) + "']";
}

PyObject* lookup(PyObject* dict, PyObject* key) {
    PyObject* v = PyDict_GetItemWithError(dict, key);
    if (!v && PyErr_Occurred()) throw nb::python_error();
    return v;
}

std::optional<tarnwick::Number> number_of(PyObject* v) {
    if (PyFloat_Check(v)) return tarnwick::Number::of(PyFloat_AS_DOUBLE(v));
    if (PyLong_Check(v) && !PyBool_Check(v)) {
        int overflow = 0;
        long long i = PyLong_AsLongLongAndOverflow(v, &overflow);
        if (overflow) throw tarnwick::ValueError("integer out of range");
        if (i == -1 && PyErr_Occurred()) throw nb::python_error();
        return tarnwick::Number::of(static_cast<std::int64_t>(i));
    }
    return std::nullopt;
}

// The caller's entries, read in place and held for the call (building the
// result may run the garbage collector, whose finalizers could change the
// caller's list). Errors call the first `named` items
// name[i] and the ones after them by `tail` ("anchor" for _rank, "a" and
// "b" for the geometry helpers).
class PyEntries final : public gf::Entries {
public:
    PyEntries(std::vector<PyObject*> items, const char* name, std::size_t named,
              std::vector<const char*> tail = {})
        : items_(std::move(items)),
          name_(name),
          named_(named),
          tail_(std::move(tail)),
          attributes_(items_.size(), nullptr),
          positions_(items_.size(), nullptr) {
        held_.reserve(items_.size());
        for (PyObject* item : items_) held_.push_back(nb::borrow(item));
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!PyDict_Check(items_[i])) wrong_kind(this->name(i), "a dict", items_[i]);
    }

    PyObject* object(std::size_t i) const { return items_[i]; }

    // The element record of an entry, as the caller stored it.
    PyObject* element(std::size_t i) const {
        PyObject* e = lookup(items_[i], k.element);
        if (!e) throw tarnwick::ValueError(name(i) + " has no 'element'");
        return e;
    }

    std::size_t size() const override { return items_.size(); }

    std::string name(std::size_t i) const override {
        if (i >= named_) return tail_.at(i - named_);
        return std::string(name_) + "[" + std::to_string(i) + "]";
    }

    tarnwick::Number index(std::size_t i) const override {
        PyObject* v = lookup(items_[i], k.index);
        if (!v) throw tarnwick::ValueError(name(i) + " has no 'index'");
        if (auto n = number_of(v)) return *n;
        wrong_kind(member(name(i), "index"), "a number", v);
    }

    std::string_view text(std::size_t i) const override {
        return text_key(items_[i], k.text, [&] { return member(name(i), "text"); });
    }

    std::string_view searchable(std::size_t i) const override {
        return text_key(items_[i], k.searchable, [&] { return member(name(i), "searchable"); });
    }

    std::optional<std::string_view> element_type(std::size_t i) const override {
        PyObject* v = lookup(items_[i], k.element_type);
        if (!v) return std::nullopt;
        return view_of(v, [&] { return member(name(i), "element_type"); });
    }

    bool is_anchor_only(std::size_t i) const override {
        PyObject* v = lookup(items_[i], k.is_anchor_only);
        if (!v) return false;
        if (!PyBool_Check(v)) wrong_kind(member(name(i), "is_anchor_only"), "bool", v);
        return v == Py_True;
    }

    std::optional<tarnwick::Number> coordinate(std::size_t i, gf::Coord c) const override {
        PyObject* pos = position(i);
        PyObject* v = lookup(pos, k.coords[static_cast<int>(c)]);
        if (!v) return std::nullopt;
        if (auto n = number_of(v)) return n;
        wrong_kind(member(member(name(i), "position"), gf::coord_name(c)), "a number", v);
    }

    std::string_view attribute(std::size_t i, gf::AnchorAttribute a) const override {
        PyObject* attrs = attributes(i);
        if (attrs == Py_None) return {};
        return text_key(attrs, k.attributes_[static_cast<int>(a)], [&] {
            return member(member(member(name(i), "element"), "attributes"), gf::attribute_name(a));
        });
    }

    std::string_view xpath(std::size_t i) const override {
        return text_key(element_dict(i), k.xpath,
                        [&] { return member(member(name(i), "element"), "xpath"); });
    }

private:
    // The position map and the element's attributes are read once per call:
    // the anchor's geometry and every entry's three anchor attributes are
    // asked for repeatedly. Borrowed: the caller's dicts outlive the call.
    PyObject* position(std::size_t i) const {
        if (PyObject* cached = positions_[i]) return cached;
        PyObject* pos = lookup(items_[i], k.position);
        if (!pos) throw tarnwick::ValueError(name(i) + " has no 'position'");
        if (!PyDict_Check(pos)) wrong_kind(member(name(i), "position"), "a dict", pos);
        return positions_[i] = pos;
    }

    // Py_None stands for "no attributes map".
    PyObject* attributes(std::size_t i) const {
        if (PyObject* cached = attributes_[i]) return cached;
        PyObject* attrs = lookup(element_dict(i), k.attributes);
        if (attrs && !PyDict_Check(attrs))
            wrong_kind(member(member(name(i), "element"), "attributes"), "a dict", attrs);
        return attributes_[i] = attrs ? attrs : Py_None;
    }

    PyObject* element_dict(std::size_t i) const {
        PyObject* e = element(i);
        if (!PyDict_Check(e)) wrong_kind(member(name(i), "element"), "a dict", e);
        return e;
    }

    // A view of the str's cached UTF-8; only a str holding lone surrogates
    // needs a copy, kept for the rest of the call.
    template <typename Where>
    std::string_view view_of(PyObject* v, Where where) const {
        if (!PyUnicode_Check(v)) wrong_kind(where(), "str", v);
        Py_ssize_t size = 0;
        if (const char* data = PyUnicode_AsUTF8AndSize(v, &size))
            return {data, static_cast<std::size_t>(size)};
        PyErr_Clear();
        std::string& copy = spill_.emplace_back();
        py::read_str(v, copy);
        return copy;
    }

    template <typename Where>
    std::string_view text_key(PyObject* dict, PyObject* key, Where where) const {
        PyObject* v = lookup(dict, key);
        if (!v) return {};
        return view_of(v, where);
    }

    std::vector<PyObject*> items_;
    std::vector<nb::object> held_;
    const char* name_;
    std::size_t named_;
    std::vector<const char*> tail_;
    mutable std::vector<PyObject*> attributes_, positions_;
    mutable std::deque<std::string> spill_;
};

// The items of a list or tuple; TypeError naming the argument otherwise.
std::vector<PyObject*> items_of(nb::handle seq, const char* name) {
    if (!py::is_sequence(seq))
        py::raise_type_error(std::string(name) + " must be a list of dicts, not " + py::kind_name(seq));
    Py_ssize_t n = PySequence_Fast_GET_SIZE(seq.ptr());
    PyObject** items = PySequence_Fast_ITEMS(seq.ptr());
    return {items, items + n};
}

std::optional<std::string> optional_text(nb::handle h, const char* name) {
    if (h.is_none()) return std::nullopt;
    return py::text_arg(h, name);
}

std::optional<std::int64_t> optional_ordinal(nb::handle h, const char* name) {
    if (h.is_none()) return std::nullopt;
    if (!PyLong_Check(h.ptr()) || PyBool_Check(h.ptr()))
        py::raise_type_error(std::string(name) + " must be int or None, not " + py::kind_name(h));
    int overflow = 0;
    long long v = PyLong_AsLongLongAndOverflow(h.ptr(), &overflow);
    if (overflow) throw nb::value_error((std::string(name) + " is out of range").c_str());
    return v;
}

std::optional<std::string_view> view(const std::optional<std::string>& s) {
    if (!s) return std::nullopt;
    return *s;
}

nb::object text_or_none(const std::optional<std::string>& s) {
    return s ? py::text_object(*s) : nb::none();
}

nb::object text_or_none(const std::optional<std::string_view>& s) {
    return s ? py::text_object(*s) : nb::none();
}

void set(nb::dict& d, PyObject* key, nb::handle value) {
    if (PyDict_SetItem(d.ptr(), key, value.ptr()) < 0) throw nb::python_error();
}

nb::dict unresolved() {
    nb::dict d;
    set(d, k.resolved, Py_False);
    set(d, k.confidence, nb::float_(0.0));
    set(d, k.element, Py_None);
    set(d, k.candidates, nb::list());
    return d;
}

nb::list elements_of(const PyEntries& m, const std::vector<std::size_t>& positions) {
    nb::list out;
    for (std::size_t p : positions) out.append(nb::borrow(m.element(p)));
    return out;
}

nb::dict result_of(const PyEntries& m, const gf::Resolution& r) {
    if (!r.resolved()) return unresolved();
    nb::dict d;
    set(d, k.resolved, Py_True);
    set(d, k.confidence, nb::float_(1.0));
    set(d, k.element, m.element(r.element));
    if (r.kind == gf::Resolution::Kind::relation) {
        set(d, k.anchor_text, py::text_object(r.anchor_text));
        set(d, k.ordinal, nb::int_(r.ordinal));
        set(d, k.type_relaxed, r.type_relaxed ? Py_True : Py_False);
        set(d, k.actual_type, text_or_none(r.actual_type));
    }
    set(d, k.candidates, elements_of(m, r.candidates));
    return d;
}

nb::dict require_dict(nb::handle h, const char* name) {
    if (!PyDict_Check(h.ptr())) wrong_kind(name, "a dict", h.ptr());
    return nb::borrow<nb::dict>(h);
}

class MatrixResolver {
public:
    explicit MatrixResolver(nb::handle matrix) { set_matrix(matrix); }

    nb::object matrix() const { return matrix_; }

    void set_matrix(nb::handle matrix) {
        PyEntries check(items_of(matrix, "matrix"), "matrix", SIZE_MAX);
        matrix_ = nb::borrow(matrix);
    }

    nb::dict resolve(nb::handle parsed_instruction) const {
        nb::dict instruction = require_dict(parsed_instruction, "parsed_instruction");
        std::string target;
        if (PyObject* t = lookup(instruction.ptr(), k.target)) {
            if (!PyUnicode_Check(t)) wrong_kind("parsed_instruction['target']", "str", t);
            py::read_str(t, target);
        }
        nb::object hold = matrix_;  // the attribute may be replaced, not while we read it
        PyEntries m = entries();
        return result_of(m, gf::resolve(m, target));
    }

    nb::object find_anchor(nb::handle anchor_text) const {
        std::string text = py::text_arg(anchor_text, "anchor_text");
        nb::object hold = matrix_;
        PyEntries m = entries();
        std::optional<std::size_t> anchor = gf::find_anchor(m, text);
        return anchor ? nb::borrow(m.object(*anchor)) : nb::none();
    }

    nb::list rank(nb::handle candidates, nb::handle anchor, nb::handle strategy,
                  nb::handle ordinal) const {
        std::vector<PyObject*> items = items_of(candidates, "candidates");
        require_dict(anchor, "anchor");
        std::optional<std::string> strategy_text = optional_text(strategy, "strategy");
        std::optional<std::int64_t> ord = optional_ordinal(ordinal, "ordinal");
        const std::size_t n = items.size();
        items.push_back(anchor.ptr());
        PyEntries m(std::move(items), "candidates", n, {"anchor"});
        std::vector<std::size_t> positions(n);
        for (std::size_t i = 0; i < n; ++i) positions[i] = i;
        std::vector<std::size_t> ranked = gf::rank(m, positions, n, view(strategy_text), ord);
        nb::list out;
        for (std::size_t p : ranked) out.append(nb::borrow(m.object(p)));
        return out;
    }

    nb::dict resolve_ordinal(nb::handle ordinal, nb::handle type_filter,
                             nb::handle search_text) const {
        if (ordinal.is_none()) py::raise_type_error("ordinal must be int, not NoneType");
        std::int64_t ord = *optional_ordinal(ordinal, "ordinal");
        std::optional<std::string> type = optional_text(type_filter, "type_filter");
        std::optional<std::string> search = optional_text(search_text, "search_text");
        nb::object hold = matrix_;
        PyEntries m = entries();
        return result_of(m, gf::resolve_ordinal(m, ord, view(type), view(search)));
    }

private:
    PyEntries entries() const { return PyEntries(items_of(matrix_, "matrix"), "matrix", SIZE_MAX); }

    nb::object matrix_;
};

// Two single entries for the geometry helpers, called "a" and "b" in errors.
class Pair {
public:
    Pair(nb::handle a, nb::handle b) : m_(items(a, b), "", 0, {"a", "b"}) {}
    const PyEntries& entries() const { return m_; }

private:
    static std::vector<PyObject*> items(nb::handle a, nb::handle b) {
        require_dict(a, "a");
        require_dict(b, "b");
        return {a.ptr(), b.ptr()};
    }
    PyEntries m_;
};

// Times the core alone on a matrix converted once into a table: resolving every target,
// `repeats` times; returns the mean seconds per pass over the targets.
double bench_core(nb::handle matrix, nb::handle targets, int repeats) {
    if (repeats < 1) throw nb::value_error("repeats must be at least 1");
    tarnwick::Value converted = py::to_value(matrix, "matrix");
    if (!converted.is_sequence()) py::raise_type_error("matrix must be a list of dicts");
    std::vector<std::string> phrases;
    for (nb::handle t : targets) phrases.push_back(py::text_arg(t, "targets[]"));
    gf::MatrixTable m(converted.as_sequence());
    std::size_t sink = 0;
    const double start = tarnwick::thread_cpu_seconds();
    for (int r = 0; r < repeats; ++r)
        for (const auto& p : phrases) sink += gf::resolve(m, p).candidates.size();
    const double elapsed = tarnwick::thread_cpu_seconds() - start;
    if (sink == static_cast<std::size_t>(-1)) throw nb::value_error("unreachable");
    return elapsed / repeats;
}

}  // namespace

NB_MODULE(gridfinder, m) {
    py::prepare_module();
    init_keys();

    m.attr("SPATIAL_TOLERANCE") = gf::SPATIAL_TOLERANCE;
    m.attr("NEAR_MAX_PIXELS") = gf::NEAR_MAX_PIXELS;
    m.attr("NEAR_MAX_DOM_STEPS") = gf::NEAR_MAX_DOM_STEPS;

    nb::dict relations, ordinals, type_keywords;
    for (const auto& [phrase, strategy] : gf::kRelations)
        relations[py::text_object(phrase)] = py::text_object(strategy);
    for (const auto& [word, n] : gf::kOrdinals) ordinals[py::text_object(word)] = n;
    for (const auto& [word, type] : gf::kTypeKeywords)
        type_keywords[py::text_object(word)] = py::text_object(type);
    m.attr("_RELATIONS") = relations;
    m.attr("_ORDINALS") = ordinals;
    m.attr("_TYPE_KEYWORDS") = type_keywords;

    m.def(
        "_parse_target",
        [](nb::handle target) {
            gf::Target t = gf::parse_target(py::text_arg(target, "target"));
            return nb::make_tuple(text_or_none(t.anchor_text), text_or_none(t.strategy),
                                  text_or_none(t.type_filter),
                                  t.ordinal ? nb::object(nb::int_(*t.ordinal)) : nb::none(),
                                  text_or_none(t.search_text), text_or_none(t.target_text));
        },
        nb::arg("target").none());
    m.def(
        "_normalize",
        [](nb::handle text) { return py::text_object(gf::normalize(py::text_arg(text, "text"))); },
        nb::arg("text").none());
    m.def(
        "_overlaps_vertically",
        [](nb::handle a, nb::handle b) {
            Pair p(a, b);
            return gf::overlaps_vertically(p.entries(), 0, 1);
        },
        nb::arg("a").none(), nb::arg("b").none());
    m.def(
        "_overlaps_horizontally",
        [](nb::handle a, nb::handle b) {
            Pair p(a, b);
            return gf::overlaps_horizontally(p.entries(), 0, 1);
        },
        nb::arg("a").none(), nb::arg("b").none());
    m.def(
        "_centre_distance",
        [](nb::handle a, nb::handle b) {
            Pair p(a, b);
            return gf::centre_distance(p.entries(), 0, 1);
        },
        nb::arg("a").none(), nb::arg("b").none());
    m.def(
        "_dom_distance",
        [](nb::handle xpath_a, nb::handle xpath_b) {
            std::string a = py::text_arg(xpath_a, "xpath_a");
            std::string b = py::text_arg(xpath_b, "xpath_b");
            return gf::dom_distance(a, b);
        },
        nb::arg("xpath_a").none(), nb::arg("xpath_b").none());

    nb::class_<MatrixResolver>(
        m, "MatrixResolver",
        "Finds elements using spatial relationships — proximity, direction, ordinal.")
        .def(nb::init<nb::handle>(), nb::arg("matrix").none())
        .def_prop_rw("matrix", &MatrixResolver::matrix,
                     [](MatrixResolver& r, nb::handle m) { r.set_matrix(m); }, nb::arg("matrix").none())
        .def("resolve", &MatrixResolver::resolve, nb::arg("parsed_instruction").none())
        .def("_find_anchor", &MatrixResolver::find_anchor, nb::arg("anchor_text").none())
        .def("_rank", &MatrixResolver::rank, nb::arg("candidates").none(), nb::arg("anchor").none(),
             nb::arg("strategy").none(), nb::arg("ordinal").none())
        .def("_resolve_ordinal", &MatrixResolver::resolve_ordinal, nb::arg("ordinal").none(),
             nb::arg("type_filter").none(), nb::arg("search_text").none() = nb::none());

    m.def("_bench_core", &bench_core, nb::arg("matrix"), nb::arg("targets"), nb::arg("repeats") = 1);
}

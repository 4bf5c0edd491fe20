// Python module tarnwick.engine.spatial.gridmaker: MatrixBuilder and the
// helpers it uses.
//
// The caller's records are read in place (texts as views of their str
// objects) and every entry is built around them: `element` is the caller's
// own record, and tag, text, label, is_enabled and the four stored
// coordinates are the caller's own objects, so values cross unchanged and
// nothing is copied twice.
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "tarnwick/core/cpu_clock.hpp"
#include "tarnwick/core/python.hpp"
#include "tarnwick/gridmaker/matrix.hpp"
#include "tarnwick/gridmaker/records.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace gm = tarnwick::gridmaker;

namespace {

// Interned keys and constants, created once at import.
struct Names {
    PyObject *tag, *text, *attributes, *bounding_box, *is_enabled;
    PyObject *label_attr, *role, *type, *aria_label, *placeholder, *name;
    PyObject *x, *y, *width, *height;
    PyObject *index, *element_type, *label, *searchable, *is_anchor_only, *order_in_type,
        *position, *element;
    PyObject *w, *h, *cx, *cy, *x2, *y2;
    PyObject *empty, *zero;
    std::vector<PyObject*> types;  // the element types the tables yield
    PyObject* entry_template;     // the eleven keys, in order
    PyObject* position_template;  // the eight keys, in order
};
Names k;

PyObject* intern(const char* s) {
    PyObject* o = PyUnicode_InternFromString(s);
    if (!o) throw nb::python_error();
    return o;
}

PyObject* template_of(std::initializer_list<PyObject*> keys) {
    PyObject* d = PyDict_New();
    if (!d) throw nb::python_error();
    for (PyObject* key : keys)
        if (PyDict_SetItem(d, key, Py_None) < 0) throw nb::python_error();
    return d;
}

void init_names() {
    k.tag = intern("tag");
    k.text = intern("text");
    k.attributes = intern("attributes");
    k.bounding_box = intern("bounding_box");
    k.is_enabled = intern("is_enabled");
    k.label_attr = intern("_label");
    k.role = intern("role");
    k.type = intern("type");
    k.aria_label = intern("aria-label");
    k.placeholder = intern("placeholder");
    k.name = intern("name");
    k.x = intern("x");
    k.y = intern("y");
    k.width = intern("width");
    k.height = intern("height");
    k.index = intern("index");
    k.element_type = intern("element_type");
    k.label = intern("label");
    k.searchable = intern("searchable");
    k.is_anchor_only = intern("is_anchor_only");
    k.order_in_type = intern("order_in_type");
    k.position = intern("position");
    k.element = intern("element");
    k.w = intern("w");
    k.h = intern("h");
    k.cx = intern("cx");
    k.cy = intern("cy");
    k.x2 = intern("x2");
    k.y2 = intern("y2");
    k.empty = intern("");
    k.zero = PyLong_FromLong(0);
    for (const char* t : {"link", "button", "input", "select", "textbox", "combobox", "text"})
        k.types.push_back(intern(t));
    // Copying a presized dict and overwriting its values is faster than
    // growing a fresh one key by key, and fixes the key order.
    k.entry_template = template_of({k.index, k.tag, k.element_type, k.text, k.label, k.searchable,
                                    k.is_enabled, k.is_anchor_only, k.order_in_type, k.position,
                                    k.element});
    k.position_template = template_of({k.x, k.y, k.w, k.h, k.cx, k.cy, k.x2, k.y2});
}

// Where a value sits, spelled out only when an error needs it.
struct Where {
    const char* base;  // "dom_elements", "element", "bb"
    Py_ssize_t item;   // -1 when `base` is a single record
    const char* outer = nullptr;  // "attributes" / "bounding_box"

    std::string str(const char* key = nullptr) const {
        std::string s = base;
        if (item >= 0) s += "[" + std::to_string(item) + "]";
        if (outer) s += std::string("['") + outer + "']";
        if (key) s += std::string("['") + key + "']";
        return s;
    }
};

[[noreturn]] void wrong_kind(const std::string& what, const char* expected, PyObject* o) {
    py::raise_type_error(what + " must be " + expected + ", not " + Py_TYPE(o)->tp_name);
}

PyObject* lookup(PyObject* dict, PyObject* key) {
    PyObject* v = PyDict_GetItemWithError(dict, key);
    if (!v && PyErr_Occurred()) throw nb::python_error();
    return v;
}

// Reads records into ElementFields, keeping the objects an entry reuses.
// Every object read is held until the build is done: creating entries may
// run the garbage collector, and a finalizer could change a record meanwhile.
class Reader {
public:
    struct Record {
        PyObject* object;
        PyObject* tag;
        PyObject* text;
        PyObject* label;
        PyObject* is_enabled;
        PyObject *x, *y, *width, *height;
    };

    // Texts are views of the str's cached UTF-8; only a str holding lone
    // surrogates needs a copy, kept here until the build is done.
    std::string_view text_of(PyObject* dict, PyObject* key, const Where& where, const char* key_name,
                             PyObject** keep = nullptr) {
        PyObject* v = lookup(dict, key);
        if (keep) *keep = v;
        if (!v) return {};
        if (!PyUnicode_Check(v)) wrong_kind(where.str(key_name), "str", v);
        hold(v);
        Py_ssize_t size = 0;
        if (const char* data = PyUnicode_AsUTF8AndSize(v, &size))
            return {data, static_cast<std::size_t>(size)};
        PyErr_Clear();
        std::string& copy = spill_.emplace_back();
        py::read_str(v, copy);
        return copy;
    }

    tarnwick::Number number_of(PyObject* box, PyObject* key, const Where& where, const char* key_name,
                         PyObject** keep) {
        PyObject* v = lookup(box, key);
        *keep = v;
        if (!v) return tarnwick::Number::of(std::int64_t{0});
        hold(v);
        if (PyFloat_Check(v)) return tarnwick::Number::of(PyFloat_AS_DOUBLE(v));
        if (PyLong_Check(v) && !PyBool_Check(v)) {
            int overflow = 0;
            long long i = PyLong_AsLongLongAndOverflow(v, &overflow);
            if (overflow)
                throw nb::value_error((where.str(key_name) + " is out of range").c_str());
            if (i == -1 && PyErr_Occurred()) throw nb::python_error();
            return tarnwick::Number::of(static_cast<std::int64_t>(i));
        }
        wrong_kind(where.str(key_name), "a number", v);
    }

    void read_box(PyObject* box, const Where& where, gm::ElementFields& f, Record& r) {
        if (!PyDict_Check(box)) wrong_kind(where.str(), "a dict", box);
        f.x = number_of(box, k.x, where, "x", &r.x);
        f.y = number_of(box, k.y, where, "y", &r.y);
        f.width = number_of(box, k.width, where, "width", &r.width);
        f.height = number_of(box, k.height, where, "height", &r.height);
    }

    // `whole` reads is_enabled and the box too; the single-record helpers
    // read only the texts they combine.
    gm::ElementFields read(PyObject* o, Where where, bool interactable, Record& r,
                           bool whole = true) {
        if (!PyDict_Check(o)) wrong_kind(where.str(), "a dict", o);
        r.object = o;
        hold(o);
        gm::ElementFields f;
        f.tag = text_of(o, k.tag, where, "tag", &r.tag);
        f.text = text_of(o, k.text, where, "text", &r.text);
        r.label = nullptr;
        if (PyObject* attrs = lookup(o, k.attributes)) {
            Where aw = where;
            aw.outer = "attributes";
            if (!PyDict_Check(attrs)) wrong_kind(aw.str(), "a dict", attrs);
            f.label = text_of(attrs, k.label_attr, aw, "_label", &r.label);
            if (interactable) {
                f.role = text_of(attrs, k.role, aw, "role");
                f.type = text_of(attrs, k.type, aw, "type");
                f.aria_label = text_of(attrs, k.aria_label, aw, "aria-label");
                f.placeholder = text_of(attrs, k.placeholder, aw, "placeholder");
                f.name = text_of(attrs, k.name, aw, "name");
            }
        }
        r.is_enabled = nullptr;
        if (!whole) return f;
        if (interactable) {
            if (PyObject* enabled = lookup(o, k.is_enabled)) {
                if (!PyBool_Check(enabled)) wrong_kind(where.str("is_enabled"), "bool", enabled);
                r.is_enabled = enabled;
            }
        }
        PyObject* box = lookup(o, k.bounding_box);
        f.has_box = box && box != Py_None && !(PyDict_Check(box) && PyDict_GET_SIZE(box) == 0);
        if (f.has_box) {
            Where bw = where;
            bw.outer = "bounding_box";
            read_box(box, bw, f, r);
        }
        return f;
    }

    void hold(PyObject* o) { held_.push_back(nb::borrow(o)); }

private:
    std::deque<std::string> spill_;
    std::vector<nb::object> held_;
};

// Owned reference helpers: every new object goes straight into a dict.
PyObject* checked(PyObject* o) {
    if (!o) throw nb::python_error();
    return o;
}

void put(PyObject* dict, PyObject* key, PyObject* borrowed) {
    if (PyDict_SetItem(dict, key, borrowed) < 0) throw nb::python_error();
}

void put_new(PyObject* dict, PyObject* key, PyObject* owned) {
    checked(owned);
    int rc = PyDict_SetItem(dict, key, owned);
    Py_DECREF(owned);
    if (rc < 0) throw nb::python_error();
}

PyObject* number_object(tarnwick::Number n) {
    return n.is_integer ? PyLong_FromLongLong(n.integer) : PyFloat_FromDouble(n.real);
}

// A stored coordinate is handed on as the caller's own object.
void put_coordinate(PyObject* dict, PyObject* key, PyObject* stored) {
    put(dict, key, stored ? stored : k.zero);
}

nb::object position_object(const gm::Position& p, const Reader::Record& r) {
    nb::object pos = nb::steal(checked(PyDict_Copy(k.position_template)));
    PyObject* d = pos.ptr();
    put_coordinate(d, k.x, r.x);
    put_coordinate(d, k.y, r.y);
    put_coordinate(d, k.w, r.width);
    put_coordinate(d, k.h, r.height);
    put_new(d, k.cx, PyFloat_FromDouble(p.cx));
    put_new(d, k.cy, PyFloat_FromDouble(p.cy));
    put_new(d, k.x2, number_object(p.x2));
    put_new(d, k.y2, number_object(p.y2));
    return pos;
}

PyObject* text_or_empty(PyObject* o) { return o ? o : k.empty; }

// The element type as a str: the tag's own object when the type is the
// tag, a shared constant when it comes from the tables.
nb::object type_object(std::string_view type, std::string_view tag, PyObject* tag_object) {
    if (tag_object && type.data() == tag.data()) return nb::borrow(tag_object);
    for (PyObject* t : k.types)
        if (PyUnicode_GET_LENGTH(t) == static_cast<Py_ssize_t>(type.size()) &&
            type == PyUnicode_AsUTF8(t))
            return nb::borrow(t);
    return py::text_object(type);
}

nb::object entry_object(const gm::Entry& e, const gm::ElementFields& f, const Reader::Record& r) {
    nb::object entry = nb::steal(checked(PyDict_Copy(k.entry_template)));
    PyObject* d = entry.ptr();
    put_new(d, k.index, PyLong_FromSize_t(e.index));
    put(d, k.tag, text_or_empty(r.tag));
    put(d, k.element_type, type_object(e.element_type, f.tag, r.tag).ptr());
    put(d, k.text, text_or_empty(r.text));
    put(d, k.label, text_or_empty(r.label));
    if (e.is_text || e.searchable == f.text) {
        put(d, k.searchable, text_or_empty(r.text));
    } else {
        put(d, k.searchable, py::text_object(e.searchable).ptr());
    }
    put(d, k.is_enabled, r.is_enabled ? r.is_enabled : Py_True);
    put(d, k.is_anchor_only, e.is_text ? Py_True : Py_False);
    put_new(d, k.order_in_type, PyLong_FromSize_t(e.order_in_type));
    put(d, k.position, position_object(e.position, r).ptr());
    put(d, k.element, r.object);
    return entry;
}

// A list or tuple; TypeError naming the argument otherwise.
void require_sequence(nb::handle h, const char* name) {
    if (!py::is_sequence(h))
        py::raise_type_error(std::string(name) + " must be a list of dicts, not " + py::kind_name(h));
}

struct Inputs {
    Reader reader;
    std::vector<gm::ElementFields> dom, texts;
    std::vector<Reader::Record> dom_records, text_records;

    void read(nb::handle seq, const char* name, bool interactable) {
        auto& fields = interactable ? dom : texts;
        auto& records = interactable ? dom_records : text_records;
        Py_ssize_t n = PySequence_Fast_GET_SIZE(seq.ptr());
        PyObject** items = PySequence_Fast_ITEMS(seq.ptr());
        fields.reserve(static_cast<std::size_t>(n));
        records.resize(static_cast<std::size_t>(n));
        for (Py_ssize_t i = 0; i < n; ++i)
            fields.push_back(reader.read(items[i], {name, i}, interactable,
                                         records[static_cast<std::size_t>(i)]));
    }
};

class MatrixBuilder {
public:
    MatrixBuilder(nb::handle dom_elements, nb::handle text_elements) {
        require_sequence(dom_elements, "dom_elements");
        if (!text_elements.is_none()) require_sequence(text_elements, "text_elements");
        dom_ = nb::borrow(dom_elements);
        bool no_texts = text_elements.is_none() || PySequence_Fast_GET_SIZE(text_elements.ptr()) == 0;
        texts_ = no_texts ? nb::object(nb::list()) : nb::borrow(text_elements);
    }

    nb::list build() const {
        // Hold our own references: the stored sequences may be replaced later,
        // but not while this call reads them.
        nb::object dom = dom_, texts = texts_;
        Inputs in;
        in.read(dom, "dom_elements", true);
        in.read(texts, "text_elements", false);
        std::vector<gm::Entry> entries = gm::build(in.dom, in.texts);

        nb::list out = nb::steal<nb::list>(checked(PyList_New(static_cast<Py_ssize_t>(entries.size()))));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const gm::Entry& e = entries[i];
            const auto& f = e.is_text ? in.texts[e.source] : in.dom[e.source];
            const auto& r = e.is_text ? in.text_records[e.source] : in.dom_records[e.source];
            nb::object entry = entry_object(e, f, r);
            PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), entry.release().ptr());
        }
        return out;
    }

    nb::object dom_elements() const { return dom_; }
    nb::object text_elements() const { return texts_; }

private:
    nb::object dom_, texts_;
};

nb::dict require_dict(nb::handle h, const char* name) {
    if (!PyDict_Check(h.ptr())) wrong_kind(name, "a dict", h.ptr());
    return nb::borrow<nb::dict>(h);
}

// Times the core alone on records converted once (to core records, then to
// the fields the matrix reads): `repeats` builds; returns the mean seconds
// per build.
double bench_core(nb::handle dom_elements, nb::handle text_elements, int repeats) {
    require_sequence(dom_elements, "dom_elements");
    require_sequence(text_elements, "text_elements");
    if (repeats < 1) throw nb::value_error("repeats must be at least 1");
    tarnwick::Value dom = py::to_value(dom_elements, "dom_elements");
    tarnwick::Value texts = py::to_value(text_elements, "text_elements");
    std::vector<gm::ElementFields> df, tf;
    for (const auto& v : dom.as_sequence()) df.push_back(gm::read_element(v, "dom_elements[]", true));
    for (const auto& v : texts.as_sequence()) tf.push_back(gm::read_element(v, "text_elements[]", false));
    // Texts laid out in order in one buffer, as a reader of a page's
    // records would produce them, rather than scattered over record maps.
    std::string buffer;
    auto each_text = [&](auto&& visit) {
        for (auto* fields : {&df, &tf})
            for (gm::ElementFields& f : *fields)
                for (std::string_view* s : {&f.tag, &f.text, &f.label, &f.role, &f.type, &f.aria_label,
                                            &f.placeholder, &f.name})
                    visit(*s);
    };
    each_text([&](std::string_view& s) { buffer.append(s); });
    std::size_t offset = 0;
    each_text([&](std::string_view& s) {
        s = std::string_view(buffer).substr(offset, s.size());
        offset += s.size();
    });
    std::size_t sink = 0;
    const double start = tarnwick::thread_cpu_seconds();
    for (int r = 0; r < repeats; ++r) sink += gm::build(df, tf).size();
    const double elapsed = tarnwick::thread_cpu_seconds() - start;
    if (sink == static_cast<std::size_t>(-1)) throw nb::value_error("unreachable");
    return elapsed / repeats;
}

}  // namespace

NB_MODULE(gridmaker, m) {
    py::prepare_module();
    init_names();

    nb::dict tag_to_type;
    for (const auto& [tag, type] : gm::kTagToType) tag_to_type[py::text_object(tag)] = py::text_object(type);
    m.attr("_TAG_TO_TYPE") = tag_to_type;

    nb::class_<MatrixBuilder>(
        m, "MatrixBuilder",
        "Builds a flat spatial matrix sorted in natural reading order (top→bottom, left→right).")
        .def(nb::init<nb::handle, nb::handle>(), nb::arg("dom_elements").none(),
             nb::arg("text_elements").none() = nb::none())
        .def("build", &MatrixBuilder::build)
        .def_prop_ro("dom_elements", &MatrixBuilder::dom_elements)
        .def_prop_ro("text_elements", &MatrixBuilder::text_elements);

    m.def(
        "_element_type",
        [](nb::handle element) {
            require_dict(element, "element");
            Reader reader;
            Reader::Record r{};
            gm::ElementFields f = reader.read(element.ptr(), {"element", -1}, true, r, false);
            return type_object(gm::element_type(f), f.tag, r.tag);
        },
        nb::arg("element").none());
    m.def(
        "_searchable",
        [](nb::handle element) {
            require_dict(element, "element");
            Reader reader;
            Reader::Record r{};
            gm::ElementFields f = reader.read(element.ptr(), {"element", -1}, true, r, false);
            return py::text_object(gm::searchable(f));
        },
        nb::arg("element").none());
    m.def(
        "_position",
        [](nb::handle bb) {
            require_dict(bb, "bb");
            gm::ElementFields f;
            Reader reader;
            Reader::Record r{};
            reader.read_box(bb.ptr(), {"bb", -1}, f, r);
            return position_object(gm::position(f.x, f.y, f.width, f.height), r);
        },
        nb::arg("bb").none());
    m.def("_bench_core", &bench_core, nb::arg("dom_elements"), nb::arg("text_elements"),
          nb::arg("repeats") = 1);
}

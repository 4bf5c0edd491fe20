// Conversions between Python objects and core records, shared by every
// binding. Only binding files include this header; the cores stay free of
// Python.
//
// Strings cross as UTF-8. Lone surrogates, which a Python str may hold, pass
// through as three-byte sequences ("surrogatepass") so that every str is
// accepted and comes back unchanged.
#pragma once

#include <nanobind/nanobind.h>

#include <nanobind/stl/string.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/core/value.hpp"

namespace tarnwick::py {

namespace nb = nanobind;

inline const char* kind_name(nb::handle h) { return Py_TYPE(h.ptr())->tp_name; }

[[noreturn]] inline void raise_type_error(const std::string& message) {
    throw nb::type_error(message.c_str());
}

// Reads a str into UTF-8. Returns false when `o` is not a str.
inline bool read_str(PyObject* o, std::string& out) {
    if (!PyUnicode_Check(o)) return false;
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(o, &size);
    if (data) {
        out.assign(data, static_cast<std::size_t>(size));
        return true;
    }
    PyErr_Clear();
    PyObject* bytes = PyUnicode_AsEncodedString(o, "utf-8", "surrogatepass");
    if (!bytes) throw nb::python_error();
    out.assign(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
    Py_DECREF(bytes);
    return true;
}

// A required str argument; TypeError naming the argument otherwise.
inline std::string text_arg(nb::handle h, const char* name) {
    std::string out;
    if (!read_str(h.ptr(), out))
        raise_type_error(std::string(name) + " must be str, not " + kind_name(h));
    return out;
}

inline nb::object text_object(std::string_view s) {
    PyObject* o = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogatepass");
    if (!o) throw nb::python_error();
    return nb::steal(o);
}

namespace detail {

constexpr int kMaxDepth = 256;

inline Value to_value(PyObject* o, const char* name, int depth) {
    if (depth > kMaxDepth)
        throw nb::value_error((std::string(name) + " is nested too deeply (or refers to itself)").c_str());
    if (o == Py_None) return Value();
    if (PyBool_Check(o)) return Value(o == Py_True);
    if (PyLong_Check(o)) {
        int overflow = 0;
        long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
        if (overflow) throw nb::value_error((std::string(name) + " holds an integer out of range").c_str());
        if (v == -1 && PyErr_Occurred()) throw nb::python_error();
        return Value(static_cast<std::int64_t>(v));
    }
    if (PyFloat_Check(o)) return Value(PyFloat_AS_DOUBLE(o));
    std::string s;
    if (read_str(o, s)) return Value(std::move(s));
    if (PyDict_Check(o)) {
        Map map;
        map.reserve(static_cast<std::size_t>(PyDict_GET_SIZE(o)));
        Py_ssize_t pos = 0;
        PyObject *key, *item;
        while (PyDict_Next(o, &pos, &key, &item)) {
            std::string k;
            if (!read_str(key, k))
                raise_type_error(std::string(name) + " has a key of type " + Py_TYPE(key)->tp_name +
                                 "; record keys must be str");
            map.append(std::move(k), to_value(item, name, depth + 1));
        }
        return Value(std::move(map));
    }
    if (PyList_Check(o) || PyTuple_Check(o)) {
        Py_ssize_t n = PySequence_Fast_GET_SIZE(o);
        PyObject** items = PySequence_Fast_ITEMS(o);
        Sequence seq;
        seq.reserve(static_cast<std::size_t>(n));
        for (Py_ssize_t i = 0; i < n; ++i) seq.push_back(to_value(items[i], name, depth + 1));
        return Value(std::move(seq));
    }
    raise_type_error(std::string(name) + " holds a value of unsupported type " + Py_TYPE(o)->tp_name);
}

}  // namespace detail

// Any record value (None, bool, int, float, str, list/tuple, dict with str keys).
inline Value to_value(nb::handle h, const char* name) { return detail::to_value(h.ptr(), name, 0); }

inline nb::object to_python(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null: return nb::none();
        case Value::Kind::Bool: return nb::bool_(v.as_bool());
        case Value::Kind::Integer: return nb::int_(v.as_integer());
        case Value::Kind::Real: return nb::float_(v.as_real());
        case Value::Kind::Text: return text_object(v.as_text());
        case Value::Kind::Sequence: {
            nb::list out;
            for (const auto& item : v.as_sequence()) out.append(to_python(item));
            return out;
        }
        case Value::Kind::Map: {
            nb::dict out;
            for (const auto& e : v.as_map()) out[text_object(e.key)] = to_python(e.value);
            return out;
        }
    }
    return nb::none();
}

// A dict argument converted to a Map; TypeError naming the argument otherwise.
inline Map map_arg(nb::handle h, const char* name) {
    if (!PyDict_Check(h.ptr()))
        raise_type_error(std::string(name) + " must be a dict, not " + kind_name(h));
    return std::move(to_value(h, name).as_map());
}

// A sequence of records whose objects must come back by identity: the core
// answers with positions, and `objects[i]` is the caller's own record.
struct Records {
    nb::object owner;                 // keeps the caller's list alive
    std::vector<Value> values;
    std::vector<PyObject*> objects;   // borrowed from `owner`

    nb::object object_at(std::size_t i) const { return nb::borrow(objects[i]); }
    nb::list objects_at(const std::vector<std::size_t>& positions) const {
        nb::list out;
        for (std::size_t p : positions) out.append(nb::borrow(objects[p]));
        return out;
    }
};

inline bool is_sequence(nb::handle h) { return PyList_Check(h.ptr()) || PyTuple_Check(h.ptr()); }

// A list or tuple of dicts. TypeError naming the argument when it is not a
// list/tuple, or when an item is not a dict.
inline Records records_arg(nb::handle h, const char* name) {
    if (!is_sequence(h))
        raise_type_error(std::string(name) + " must be a list of dicts, not " + kind_name(h));
    Records r;
    // A tuple/list snapshot: the caller may not change it during the call,
    // but holding our own reference keeps the borrowed items alive.
    r.owner = nb::borrow(h);
    Py_ssize_t n = PySequence_Fast_GET_SIZE(h.ptr());
    PyObject** items = PySequence_Fast_ITEMS(h.ptr());
    r.values.reserve(static_cast<std::size_t>(n));
    r.objects.reserve(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        if (!PyDict_Check(items[i]))
            raise_type_error(std::string(name) + "[" + std::to_string(i) + "] must be a dict, not " +
                             Py_TYPE(items[i])->tp_name);
        r.values.push_back(detail::to_value(items[i], name, 1));
        r.objects.push_back(items[i]);
    }
    return r;
}

// Makes the text rules follow the running Python's Unicode database, which
// may be older than ICU's.
inline void match_python_unicode_version() {
    nb::object version = nb::module_::import_("unicodedata").attr("unidata_version");
    std::string v = nb::cast<std::string>(version);
    int major = 0, minor = 0;
    std::sscanf(v.c_str(), "%d.%d", &major, &minor);
    tarnwick::text::set_unicode_version(major, minor);
}

// Maps the core's TypeError/ValueError to Python's.
inline void register_error_translators() {
    nb::register_exception_translator([](const std::exception_ptr& p, void*) {
        try {
            std::rethrow_exception(p);
        } catch (const tarnwick::TypeError& e) {
            PyErr_SetString(PyExc_TypeError, e.what());
        } catch (const tarnwick::ValueError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });
}

// Maps the core's TypeError/ValueError to Python's and aligns the text rules
// with the running Python. Call first in every NB_MODULE.
inline void prepare_module() {
    match_python_unicode_version();
    register_error_translators();
}

}  // namespace tarnwick::py

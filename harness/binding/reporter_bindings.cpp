// Python face of the reporter core: reads pytest's phase reports and the
// recorded steps straight from their Python objects and hands the core
// plain views. The plug-in class that pytest calls stays in Python
// (tarnwick/harness/reporter.py) because pluggy introspects its signatures.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/python.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/reporter/render.hpp"
#include "tarnwick/reporter/result.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace rep = tarnwick::reporter;

namespace {

// getattr(obj, name) that answers a null object when the attribute is
// missing (only AttributeError is swallowed, like hasattr()).
nb::object optional_attr(nb::handle obj, const char* name) {
    PyObject* value = PyObject_GetAttrString(obj.ptr(), name);
    if (value) return nb::steal(value);
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw nb::python_error();
    PyErr_Clear();
    return nb::object();
}

nb::object required_attr(nb::handle obj, const char* name) {
    PyObject* value = PyObject_GetAttrString(obj.ptr(), name);
    if (!value) throw nb::python_error();
    return nb::steal(value);
}

bool truthy(nb::handle h) {
    int r = PyObject_IsTrue(h.ptr());
    if (r < 0) throw nb::python_error();
    return r == 1;
}

std::string str_of(nb::handle h) {
    nb::object s = nb::steal(PyObject_Str(h.ptr()));
    if (!s.is_valid()) throw nb::python_error();
    std::string out;
    py::read_str(s.ptr(), out);
    return out;
}

template <class What>
double number_of(nb::handle h, const What& what) {
    if (!PyFloat_Check(h.ptr()) && !PyLong_Check(h.ptr()))
        py::raise_type_error(what() + " must be a number, not " + py::kind_name(h));
    double d = PyFloat_AsDouble(h.ptr());
    if (d == -1.0 && PyErr_Occurred()) throw nb::python_error();
    return d;
}

std::string extract_message(nb::handle report) {
    nb::object longrepr = required_attr(report, "longrepr");
    if (longrepr.is_none()) return {};
    nb::object crash = optional_attr(longrepr, "reprcrash");
    if (crash.is_valid() && !crash.is_none()) return str_of(required_attr(crash, "message"));
    // No crash point (or one that is None): the last line of the text form.
    return std::string(rep::last_line(str_of(longrepr)));
}

void collect(nb::handle results, nb::handle report) {
    if (!PyList_Check(results.ptr()))
        py::raise_type_error(std::string("results must be a list, not ") + py::kind_name(results));
    nb::object when_obj = required_attr(report, "when");
    std::string when;
    if (!py::read_str(when_obj.ptr(), when)) return;  // not a phase we know
    bool failed = truthy(required_attr(report, "failed"));
    if (!rep::is_recorded(when, failed)) return;

    nb::object duration_obj = optional_attr(report, "duration");
    double duration = duration_obj.is_valid()
                          ? number_of(duration_obj, [] { return std::string("report.duration"); })
                          : 0.0;
    std::string nodeid = py::text_arg(required_attr(report, "nodeid"), "report.nodeid");

    bool passed = truthy(required_attr(report, "passed"));
    std::string_view status = rep::status_of(passed, failed);
    std::string message;
    if (status == "failed") {
        message = extract_message(report);
    } else if (status == "skipped") {
        nb::object longrepr = required_attr(report, "longrepr");
        if (truthy(longrepr)) message = str_of(longrepr);
    }
    nb::object record = py::to_python(
        tarnwick::Value(rep::make_result(nodeid, status, duration, std::move(message), when)));
    if (PyList_Append(results.ptr(), record.ptr()) != 0) throw nb::python_error();
}

// Keys of the records the report reads, created and hashed once.
struct Keys {
    nb::object file, test, status, duration, nodeid, instruction, message, screenshot;
};

const Keys& keys() {
    static const Keys* k = [] {
        auto key = [](const char* s) { return nb::steal(PyUnicode_InternFromString(s)); };
        return new Keys{key("file"),   key("test"),        key("status"),  key("duration"),
                        key("nodeid"), key("instruction"), key("message"), key("screenshot")};
    }();
    return *k;
}

// Where a record sits, for error messages (built only when one is raised).
struct Place {
    Py_ssize_t result;
    PyObject* nodeid = nullptr;  // set for a step
    Py_ssize_t step = -1;

    std::string str() const {
        if (!nodeid) return "results[" + std::to_string(result) + "]";
        std::string id;
        py::read_str(nodeid, id);
        std::string out = "steps[" + tarnwick::text::repr(id) + "]";
        if (step >= 0) out += "[" + std::to_string(step) + "]";
        return out;
    }
    std::string key(nb::handle k) const {
        std::string name;
        py::read_str(k.ptr(), name);
        return str() + "['" + name + "']";
    }
};

// Reads the records the report needs into views. Every str viewed is held
// here, so code that a caller's objects might run while being read (a
// custom __eq__ or __float__) cannot free text the views point into.
class RecordReader {
  public:
    nb::handle item(PyObject* dict, const nb::object& key, const Place& at, bool required) {
        PyObject* v = PyDict_GetItemWithError(dict, key.ptr());
        if (!v && PyErr_Occurred()) throw nb::python_error();
        if (!v && required) {
            std::string name;
            py::read_str(key.ptr(), name);
            throw nb::value_error((at.str() + " has no '" + name + "'").c_str());
        }
        return v;
    }

    std::string_view text(nb::handle value, const nb::object& key, const Place& at) {
        PyObject* o = value.ptr();
        if (!PyUnicode_Check(o))
            py::raise_type_error(at.key(key) + " must be str, not " + py::kind_name(value));
        keep_.push_back(nb::borrow(value));
        Py_ssize_t size = 0;
        if (const char* data = PyUnicode_AsUTF8AndSize(o, &size))
            return {data, static_cast<std::size_t>(size)};
        PyErr_Clear();  // lone surrogates: copy them through as the core expects
        std::string& copy = copies_.emplace_back();
        py::read_str(o, copy);
        return copy;
    }

    std::string_view required_text(PyObject* dict, const nb::object& key, const Place& at) {
        return text(item(dict, key, at, true), key, at);
    }

    // Absent and None read as empty: neither is shown.
    std::string_view optional_text(PyObject* dict, const nb::object& key, const Place& at) {
        nb::handle v = item(dict, key, at, false);
        if (!v.is_valid() || v.is_none()) return {};
        return text(v, key, at);
    }

    void hold(PyObject* o) { keep_.push_back(nb::borrow(o)); }
    void reserve(std::size_t n) { keep_.reserve(n); }

  private:
    std::vector<nb::object> keep_;
    std::deque<std::string> copies_;
};

// Items of a list or tuple, read one by one. The length is checked again
// before each read and every item is held by the reader, so a list that
// changes while it is read cannot leave a dangling item behind.
class Items {
  public:
    Items(nb::handle seq, const char* what, const Place* at = nullptr) : seq_(seq) {
        if (!py::is_sequence(seq))
            py::raise_type_error((at ? at->str() : std::string(what)) + " must be a list, not " +
                                 py::kind_name(seq));
    }
    Py_ssize_t size() const { return PySequence_Fast_GET_SIZE(seq_.ptr()); }
    PyObject* at(Py_ssize_t i, RecordReader& reader) const {
        PyObject* item = PySequence_Fast_GET_ITEM(seq_.ptr(), i);
        reader.hold(item);
        return item;
    }

  private:
    nb::handle seq_;
};

nb::object render(nb::handle results, nb::handle steps_map, double elapsed) {
    const Keys& k = keys();
    Items rows(results, "results");
    if (!steps_map.is_none() && !PyDict_Check(steps_map.ptr()))
        py::raise_type_error(std::string("steps must be a dict, not ") + py::kind_name(steps_map));

    RecordReader reader;
    std::vector<rep::ResultView> views;
    std::vector<rep::StepView> all_steps;
    std::vector<std::pair<std::size_t, std::size_t>> step_ranges;  // first, count per result
    const Py_ssize_t n = rows.size();
    views.reserve(static_cast<std::size_t>(n));
    step_ranges.reserve(static_cast<std::size_t>(n));
    reader.reserve(static_cast<std::size_t>(n) * 8);

    for (Py_ssize_t i = 0; i < rows.size(); ++i) {
        PyObject* row = rows.at(i, reader);
        Place at{i};
        if (!PyDict_Check(row))
            py::raise_type_error(at.str() + " must be a dict, not " + Py_TYPE(row)->tp_name);
        rep::ResultView v;
        v.file = reader.required_text(row, k.file, at);
        v.test = reader.required_text(row, k.test, at);
        v.status = reader.required_text(row, k.status, at);
        v.duration =
            number_of(reader.item(row, k.duration, at, true), [&] { return at.key(k.duration); });
        nb::handle nodeid = reader.item(row, k.nodeid, at, true);
        reader.text(nodeid, k.nodeid, at);
        views.push_back(v);

        std::size_t first = all_steps.size();
        PyObject* entry = nullptr;
        if (!steps_map.is_none()) {
            entry = PyDict_GetItemWithError(steps_map.ptr(), nodeid.ptr());
            if (!entry && PyErr_Occurred()) throw nb::python_error();
        }
        if (entry) {
            Place owner{i, nodeid.ptr()};
            reader.hold(entry);
            Items list(entry, nullptr, &owner);
            for (Py_ssize_t j = 0; j < list.size(); ++j) {
                PyObject* step = list.at(j, reader);
                Place step_at{i, nodeid.ptr(), j};
                if (!PyDict_Check(step))
                    py::raise_type_error(step_at.str() + " must be a dict, not " +
                                         Py_TYPE(step)->tp_name);
                rep::StepView s;
                s.instruction = reader.required_text(step, k.instruction, step_at);
                s.status = reader.required_text(step, k.status, step_at);
                s.message = reader.optional_text(step, k.message, step_at);
                s.screenshot = reader.optional_text(step, k.screenshot, step_at);
                all_steps.push_back(s);
            }
        }
        step_ranges.emplace_back(first, all_steps.size() - first);
    }
    // Spans are taken only now that the step storage no longer moves.
    for (std::size_t i = 0; i < views.size(); ++i)
        views[i].steps = std::span<const rep::StepView>(all_steps).subspan(step_ranges[i].first,
                                                                           step_ranges[i].second);

    return py::text_object(rep::render_report(views, elapsed));
}

}  // namespace

NB_MODULE(_reporter, m) {
    py::prepare_module();
    m.doc() = "Result collection and HTML rendering of tarnwick's pytest reporter.";
    m.def("collect", &collect, nb::arg("results").none(), nb::arg("report").none(),
          "Append the result record of one phase report to `results` when that phase is recorded.");
    m.def(
        "extract_message",
        [](nb::handle report) { return py::text_object(extract_message(report)); },
        nb::arg("report").none(), "The failure message of a phase report.");
    m.def("render", &render, nb::arg("results").none(), nb::arg("steps").none(), nb::arg("elapsed"),
          "The whole HTML report for `results`, the steps map and the run's elapsed seconds.");
}

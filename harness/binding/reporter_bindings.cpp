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

double number_of(nb::handle h, const std::string& what) {
    if (!PyFloat_Check(h.ptr()) && !PyLong_Check(h.ptr()))
        py::raise_type_error(what + " must be a number, not " + py::kind_name(h));
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
    double duration = duration_obj.is_valid() ? number_of(duration_obj, "report.duration") : 0.0;
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
    nb::object record = py::to_python(tarnwick::Value(rep::make_result(nodeid, status, duration, std::move(message), when)));
    if (PyList_Append(results.ptr(), record.ptr()) != 0) throw nb::python_error();
}

// Reads the records the report needs into views. Every str viewed is held
// here, so code that a caller's objects might run while being read (a
// custom __eq__ or __float__) cannot free text the views point into.
class RecordReader {
public:
    std::string_view text(nb::handle value, const std::string& what) {
        PyObject* o = value.ptr();
        if (!PyUnicode_Check(o)) py::raise_type_error(what + " must be str, not " + py::kind_name(value));
        keep_.push_back(nb::borrow(value));
        Py_ssize_t size = 0;
        if (const char* data = PyUnicode_AsUTF8AndSize(o, &size))
            return {data, static_cast<std::size_t>(size)};
        PyErr_Clear();  // lone surrogates: copy them through as the core expects
        std::string& copy = copies_.emplace_back();
        py::read_str(o, copy);
        return copy;
    }

    nb::handle item(nb::handle dict, const char* key, const std::string& where, bool required) {
        PyObject* v = PyDict_GetItemString(dict.ptr(), key);
        if (!v && PyErr_Occurred()) throw nb::python_error();
        if (!v && required) throw nb::value_error((where + " has no '" + key + "'").c_str());
        return v;
    }

    std::string_view required_text(nb::handle dict, const char* key, const std::string& where) {
        return text(item(dict, key, where, true), where + "['" + key + "']");
    }

    // Absent and None read as empty: neither is shown.
    std::string_view optional_text(nb::handle dict, const char* key, const std::string& where) {
        nb::handle v = item(dict, key, where, false);
        if (!v.is_valid() || v.is_none()) return {};
        return text(v, where + "['" + key + "']");
    }

private:
    std::vector<nb::object> keep_;
    std::deque<std::string> copies_;
};

// A list or tuple as a tuple we own, so the caller's list may change while
// it is read without pulling items from under us.
nb::object snapshot(nb::handle seq, const std::string& what) {
    if (!py::is_sequence(seq)) py::raise_type_error(what + " must be a list, not " + py::kind_name(seq));
    nb::object t = nb::steal(PySequence_Tuple(seq.ptr()));
    if (!t.is_valid()) throw nb::python_error();
    return t;
}

std::string quoted(std::string_view s) { return tarnwick::text::repr(s); }

nb::object render(nb::handle results, nb::handle steps_map, double elapsed) {
    nb::object rows = snapshot(results, "results");
    if (!steps_map.is_none() && !PyDict_Check(steps_map.ptr()))
        py::raise_type_error(std::string("steps must be a dict, not ") + py::kind_name(steps_map));

    RecordReader reader;
    std::vector<rep::ResultView> views;
    std::vector<rep::StepView> all_steps;
    std::vector<std::pair<std::size_t, std::size_t>> step_ranges;  // first, count per result
    std::vector<nb::object> step_lists;  // snapshots of each test's steps
    const Py_ssize_t n = PyTuple_GET_SIZE(rows.ptr());
    views.reserve(static_cast<std::size_t>(n));
    step_ranges.reserve(static_cast<std::size_t>(n));

    for (Py_ssize_t i = 0; i < n; ++i) {
        nb::handle row = PyTuple_GET_ITEM(rows.ptr(), i);
        std::string where = "results[" + std::to_string(i) + "]";
        if (!PyDict_Check(row.ptr())) py::raise_type_error(where + " must be a dict, not " + py::kind_name(row));
        rep::ResultView v;
        v.file = reader.required_text(row, "file", where);
        v.test = reader.required_text(row, "test", where);
        v.status = reader.required_text(row, "status", where);
        v.duration = number_of(reader.item(row, "duration", where, true), where + "['duration']");
        nb::handle nodeid = reader.item(row, "nodeid", where, true);
        std::string_view nodeid_text = reader.text(nodeid, where + "['nodeid']");
        views.push_back(v);

        std::size_t first = all_steps.size();
        PyObject* entry = nullptr;
        if (!steps_map.is_none()) {
            entry = PyDict_GetItemWithError(steps_map.ptr(), nodeid.ptr());
            if (!entry && PyErr_Occurred()) throw nb::python_error();
        }
        if (entry) {
            std::string owner = "steps[" + quoted(nodeid_text) + "]";
            nb::object list = snapshot(entry, owner);
            step_lists.push_back(list);
            const Py_ssize_t m = PyTuple_GET_SIZE(list.ptr());
            for (Py_ssize_t j = 0; j < m; ++j) {
                nb::handle step = PyTuple_GET_ITEM(list.ptr(), j);
                std::string at = owner + "[" + std::to_string(j) + "]";
                if (!PyDict_Check(step.ptr())) py::raise_type_error(at + " must be a dict, not " + py::kind_name(step));
                rep::StepView s;
                s.instruction = reader.required_text(step, "instruction", at);
                s.status = reader.required_text(step, "status", at);
                s.message = reader.optional_text(step, "message", at);
                s.screenshot = reader.optional_text(step, "screenshot", at);
                all_steps.push_back(s);
            }
        }
        step_ranges.emplace_back(first, all_steps.size() - first);
    }
    // Spans are taken only now that the step storage no longer moves.
    for (std::size_t i = 0; i < views.size(); ++i)
        views[i].steps = std::span<const rep::StepView>(all_steps).subspan(step_ranges[i].first, step_ranges[i].second);

    std::string html = rep::render_report(views, elapsed);
    return py::text_object(html);
}

}  // namespace

NB_MODULE(_reporter, m) {
    py::register_error_translators();
    m.doc() = "Result collection and HTML rendering of tarnwick's pytest reporter.";
    m.def("collect", &collect, nb::arg("results").none(), nb::arg("report").none(),
          "Append the result record of one phase report to `results` when that phase is recorded.");
    m.def(
        "extract_message", [](nb::handle report) { return py::text_object(extract_message(report)); },
        nb::arg("report").none(),
          "The failure message of a phase report.");
    m.def("render", &render, nb::arg("results").none(), nb::arg("steps").none(), nb::arg("elapsed"),
          "The whole HTML report for `results`, the steps map and the run's elapsed seconds.");
}

// Test-support module: the core's text operations, JSON writer and record
// conversion, exposed so that the Python tests can check them against
// Python's own str methods, repr() and json.dumps().
#include <nanobind/stl/string.h>
#include <nanobind/stl/vector.h>

#include "tarnwick/core/json.hpp"
#include "tarnwick/core/python.hpp"
#include "tarnwick/core/text.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace text = tarnwick::text;

namespace {

char32_t one_char(nb::handle h) {
    std::string s = py::text_arg(h, "ch");
    std::u32string cps = text::decode(s);
    if (cps.size() != 1) throw nb::value_error("ch must be a single character");
    return cps[0];
}

nb::list text_list(const std::vector<std::string_view>& parts) {
    nb::list out;
    for (auto p : parts) out.append(py::text_object(p));
    return out;
}

}  // namespace

NB_MODULE(_textops, m) {
    py::prepare_module();
    m.def("lower", [](nb::handle s) { return py::text_object(text::lower(py::text_arg(s, "s"))); });
    m.def("lower_simple",
          [](nb::handle s) { return py::text_object(text::lower_simple(py::text_arg(s, "s"))); });
    m.def("strip", [](nb::handle s) {
        std::string v = py::text_arg(s, "s");
        return py::text_object(text::strip(v));
    });
    m.def("split", [](nb::handle s) {
        std::string v = py::text_arg(s, "s");
        return text_list(text::split(v));
    });
    m.def("split_once", [](nb::handle s) {
        std::string v = py::text_arg(s, "s");
        return text_list(text::split_once(v));
    });
    m.def("has_digit", [](nb::handle s) { return text::has_digit(py::text_arg(s, "s")); });
    m.def("length", [](nb::handle s) { return text::length(py::text_arg(s, "s")); });
    m.def("repr", [](nb::handle s) { return py::text_object(text::repr(py::text_arg(s, "s"))); });
    m.def("repr_list", [](nb::handle items) {
        if (!py::is_sequence(items)) py::raise_type_error("items must be a list of str");
        std::vector<std::string> v;
        for (nb::handle it : items) v.push_back(py::text_arg(it, "items[]"));
        return py::text_object(text::repr_list(v));
    });
    m.def("is_space", [](nb::handle c) { return text::is_space(one_char(c)); });
    m.def("is_digit", [](nb::handle c) { return text::is_digit(one_char(c)); });
    m.def("is_printable", [](nb::handle c) { return text::is_printable(one_char(c)); });
    m.def(
        "roundtrip", [](nb::handle v) { return py::to_python(py::to_value(v, "value")); },
        nb::arg("value").none());
    m.def(
        "json_dumps",
        [](nb::handle v, int indent) {
            return py::text_object(tarnwick::json::dumps(py::to_value(v, "value"), indent));
        },
        nb::arg("value").none(), nb::arg("indent") = 2);
    m.def("float_repr", [](double d) { return tarnwick::json::float_repr(d); });
}

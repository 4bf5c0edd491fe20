// Python module tarnwick.engine.strategies.layoutfinder: SpatialStrategy.
// Arguments are classified, never converted: the strategy reads nothing
// beyond their kinds.
#include "tarnwick/core/python.hpp"
#include "tarnwick/layoutfinder/spatial_strategy.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace lf = tarnwick::layoutfinder;

namespace {

lf::Argument classify(nb::handle h) {
    using Kind = lf::Argument::Kind;
    Kind kind = h.is_none()               ? Kind::null
                : PyDict_Check(h.ptr())   ? Kind::map
                : py::is_sequence(h)      ? Kind::sequence
                                          : Kind::other;
    return {kind, py::kind_name(h)};
}

}  // namespace

NB_MODULE(layoutfinder, m) {
    py::prepare_module();

    nb::class_<lf::SpatialStrategy>(
        m, "SpatialStrategy", "Resolves instructions using spatial relationships between DOM elements.")
        .def(nb::init<>())
        .def(
            "resolve",
            [](const lf::SpatialStrategy& s, nb::handle parsed_instruction, nb::handle matrix,
               nb::handle dom_candidates) -> nb::object {
                auto result = s.resolve(classify(parsed_instruction), classify(matrix),
                                        classify(dom_candidates));
                return result ? py::to_python(tarnwick::Value(std::move(*result))) : nb::none();
            },
            nb::arg("parsed_instruction").none(), nb::arg("matrix").none(),
            nb::arg("dom_candidates").none());
}

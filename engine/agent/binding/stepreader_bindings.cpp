// Python module tarnwick.engine.agent.stepreader: InstructionParser and the
// module-level helpers test authors and the agent reach.
#include "tarnwick/core/python.hpp"
#include "tarnwick/stepreader/instruction_parser.hpp"
#include "tarnwick/stepreader/tables.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace sr = tarnwick::stepreader;

namespace {

template <std::size_t N>
nb::dict states_dict(const std::array<sr::StateEntry, N>& states) {
    nb::dict d;
    for (const auto& [suffix, action] : states) d[py::text_object(suffix)] = py::text_object(action);
    return d;
}

template <std::size_t N>
nb::object str_set(const std::array<std::string_view, N>& words) {
    nb::set s;
    for (auto w : words) s.add(py::text_object(w));
    return s;
}

nb::list str_list(const std::vector<std::string>& items) {
    nb::list out;
    for (const auto& item : items) out.append(py::text_object(item));
    return out;
}

// Accepts a list, tuple or other iterable of str, but not a str itself
// (iterating one would validate single characters).
std::vector<std::string> instruction_list(nb::handle h) {
    const char* name = "instructions";
    if (PyUnicode_Check(h.ptr()) || PyBytes_Check(h.ptr()) || !PyObject_HasAttrString(h.ptr(), "__iter__"))
        py::raise_type_error(std::string(name) + " must be a list of str, not " + py::kind_name(h));
    std::vector<std::string> out;
    std::size_t i = 0;
    for (nb::handle item : h) {
        std::string label = std::string(name) + "[" + std::to_string(i++) + "]";
        out.push_back(py::text_arg(item, label.c_str()));
    }
    return out;
}

}  // namespace

NB_MODULE(stepreader, m) {
    py::prepare_module();
    m.doc() = "Parses and validates plain-English test steps.";

    m.attr("_QUOTE_RE") = nb::module_::import_("re").attr("compile")(
        py::text_object(sr::kQuotePattern));
    nb::dict ordinals;
    for (const auto& [word, number] : sr::kOrdinals) ordinals[py::text_object(word)] = number;
    m.attr("_ORDINALS") = ordinals;

    m.def(
        "_extract_ordinal",
        [](nb::handle text) {
            sr::OrdinalSplit split = sr::extract_ordinal(py::text_arg(text, "text"));
            return nb::make_tuple(split.ordinal, py::text_object(split.rest));
        },
        nb::arg("text").none(), nb::sig("def _extract_ordinal(text: str) -> tuple[int, str]"),
        "(ordinal, rest): a leading ordinal word and the text after it, or (1, text).");

    auto cls = nb::class_<sr::InstructionParser>(m, "InstructionParser",
                                                  "Turns one free-text test step into a "
                                                  "ParsedInstruction dict.")
                   .def(nb::init<>())
                   .def(
                       "parse",
                       [](const sr::InstructionParser& self, nb::handle instruction) {
                           return py::to_python(tarnwick::Value(
                               self.parse(py::text_arg(instruction, "instruction"))));
                       },
                       nb::arg("instruction").none(),
                       nb::sig("def parse(self, instruction: str) -> dict[str, object]"),
                       "The ParsedInstruction of a step; ValueError when no rule accepts it.")
                   .def(
                       "validate",
                       [](const sr::InstructionParser& self, nb::handle instruction) {
                           return str_list(
                               self.validate(py::text_arg(instruction, "instruction")));
                       },
                       nb::arg("instruction").none(),
                       nb::sig("def validate(self, instruction: str) -> list[str]"),
                       "A list of syntax issues with the instruction, or [] if clean.")
                   .def(
                       "validate_all",
                       [](const sr::InstructionParser& self, nb::handle instructions) {
                           nb::dict out;
                           for (auto& [number, issues] :
                                self.validate_all(instruction_list(instructions)))
                               out[nb::int_(number)] = str_list(issues);
                           return out;
                       },
                       nb::arg("instructions").none(),
                       nb::sig("def validate_all(self, instructions: Iterable[str]) -> "
                               "dict[int, list[str]]"),
                       "{step number: issues} for the steps that have any, numbered from 1.")
                   .def(
                       "_unquote",
                       [](const sr::InstructionParser&, nb::handle instruction) {
                           sr::Unquoted u = sr::unquote(py::text_arg(instruction, "instruction"));
                           return nb::make_tuple(py::text_object(u.text), str_list(u.literals));
                       },
                       nb::arg("instruction").none(),
                       nb::sig("def _unquote(self, instruction: str) -> tuple[str, list[str]]"))
                   .def(
                       "_clean_target",
                       [](const sr::InstructionParser&, nb::handle target) {
                           return py::text_object(
                               sr::clean_target(py::text_arg(target, "target")));
                       },
                       nb::arg("target").none(),
                       nb::sig("def _clean_target(self, target: str) -> str"));

    nb::list supported;
    for (auto name : sr::kSupportedActions) supported.append(py::text_object(name));
    cls.attr("SUPPORTED_ACTIONS") = supported;
    cls.attr("_VERIFY_STATES") = states_dict(sr::kVerifyStates);
    cls.attr("_VERIFY_TEXT_STATES") = states_dict(sr::kVerifyTextStates);
    cls.attr("_STOP_WORDS") = str_set(sr::kStopWords);
    cls.attr("_KNOWN_ACTIONS") = str_set(sr::kKnownActions);
}

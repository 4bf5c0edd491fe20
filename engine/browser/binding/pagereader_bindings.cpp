// Python module tarnwick.engine.browser.pagereader: DOMParser over a
// Playwright sync Page. The adapter below is the reader's only contact with
// Playwright; everything else is the C++ core.
#include <nanobind/stl/string.h>

#include <unordered_map>

#include "tarnwick/browser/page_reader.hpp"
#include "tarnwick/browser/dedup.hpp"
#include "tarnwick/browser/json_parse.hpp"
#include "tarnwick/browser/scripts.hpp"
#include "tarnwick/browser/snapshot.hpp"
#include "tarnwick/core/python.hpp"

namespace nb = nanobind;
namespace py = tarnwick::py;
namespace br = tarnwick::browser;
using tarnwick::Value;

namespace {

// Runs one Playwright call. Its ordinary failures (Playwright errors, any
// Exception) stay std::exceptions for the reader's per-element guards; an
// interrupt or exit request must end the read, so it travels as Abort.
template <class F>
auto playwright_call(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (nb::python_error& e) {
        if (e.matches(PyExc_Exception)) throw;
        throw br::Abort{std::current_exception()};
    }
}

std::optional<std::string> optional_text(nb::handle h) {
    if (h.is_none()) return std::nullopt;
    std::string out;
    if (!py::read_str(h.ptr(), out)) throw nb::type_error("expected str or None from the page");
    return out;
}

class PlaywrightElement : public br::Element {
public:
    explicit PlaywrightElement(nb::object handle) : handle_(std::move(handle)) {}

    bool is_visible() override {
        return playwright_call([&] { return nb::cast<bool>(handle_.attr("is_visible")()); });
    }
    bool is_enabled() override {
        return playwright_call([&] { return nb::cast<bool>(handle_.attr("is_enabled")()); });
    }
    std::optional<std::string> inner_text() override {
        return playwright_call([&] { return optional_text(handle_.attr("inner_text")()); });
    }
    std::optional<std::string> attribute(std::string_view name) override {
        return playwright_call(
            [&] { return optional_text(handle_.attr("get_attribute")(py::text_object(name))); });
    }
    Value bounding_box() override {
        return playwright_call([&] { return py::to_value(handle_.attr("bounding_box")(), "bounding_box"); });
    }
    Value evaluate(std::string_view script) override {
        return playwright_call(
            [&] { return py::to_value(handle_.attr("evaluate")(py::text_object(script)), "evaluate"); });
    }

private:
    nb::object handle_;
};

class PlaywrightPage : public br::Page {
public:
    explicit PlaywrightPage(nb::object page) : page_(std::move(page)) {
        // Only a parser torn down by the garbage collector has no page.
        if (!page_.is_valid()) py::raise_type_error("DOMParser has no page");
    }

    std::vector<br::ElementPtr> query_all(std::string_view selector) override {
        return playwright_call([&] {
            std::vector<br::ElementPtr> out;
            nb::object handles = page_.attr("query_selector_all")(py::text_object(selector));
            for (nb::handle h : handles) out.push_back(std::make_unique<PlaywrightElement>(nb::borrow(h)));
            return out;
        });
    }
    br::ElementPtr query_one(std::string_view selector) override {
        return playwright_call([&]() -> br::ElementPtr {
            nb::object h = page_.attr("query_selector")(py::text_object(selector));
            if (h.is_none()) return nullptr;
            return std::make_unique<PlaywrightElement>(std::move(h));
        });
    }
    Value evaluate(std::string_view script) override {
        return playwright_call(
            [&] { return py::to_value(page_.attr("evaluate")(py::text_object(script)), "evaluate"); });
    }
    Value evaluate_json(std::string_view script) override {
        return playwright_call([&] {
            nb::object text = page_.attr("evaluate")(py::text_object(script));
            return br::parse_json(py::text_arg(text, "the page script's result"));
        });
    }
    std::string url() override {
        return playwright_call([&] { return py::text_arg(page_.attr("url"), "page.url"); });
    }

private:
    nb::object page_;
};

// Runs a read and turns an Abort back into the Python exception it carries.
template <class F>
auto reading(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (br::Abort& abort) {
        std::rethrow_exception(abort.cause);
    }
}

nb::object settings() { return nb::module_::import_("tarnwick.engine.settings"); }

bool bulk_mode() {
    std::string mode = py::text_arg(settings().attr("read_mode")(), "READ_MODE");
    return mode == "bulk";
}

// Records to Python objects. A page read makes tens of thousands of dicts
// with a few dozen distinct keys, so key strings are made once per read, and
// the cyclic garbage collector (which would rescan the growing result over
// and over) waits until the result is complete.
class RecordWriter {
public:
    RecordWriter() : gc_was_enabled_(PyGC_Disable()) {}
    ~RecordWriter() {
        if (gc_was_enabled_) PyGC_Enable();
    }
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    nb::list list(const tarnwick::Sequence& records) {
        nb::list out = nb::steal<nb::list>(PyList_New(static_cast<Py_ssize_t>(records.size())));
        for (std::size_t i = 0; i < records.size(); ++i)
            PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), object(records[i]).release().ptr());
        return out;
    }

private:
    nb::object object(const Value& v) {
        if (v.is_sequence()) return list(v.as_sequence());
        if (!v.is_map()) return py::to_python(v);
        nb::dict out;
        for (const auto& e : v.as_map())
            if (PyDict_SetItem(out.ptr(), key(e.key).ptr(), object(e.value).ptr()) != 0) throw nb::python_error();
        return out;
    }

    nb::handle key(const std::string& k) {
        auto it = keys_.find(k);
        if (it == keys_.end()) it = keys_.emplace(k, py::text_object(k)).first;
        return it->second;
    }

    int gc_was_enabled_;
    std::unordered_map<std::string, nb::object> keys_;
};

nb::list to_list(const tarnwick::Sequence& records) { return RecordWriter().list(records); }

template <std::size_t N>
nb::list name_list(const std::array<std::string_view, N>& names) {
    nb::list out;
    for (auto n : names) out.append(py::text_object(n));
    return out;
}

struct DOMParser {
    nb::object page;

    void save_snapshot(const Value& elements, const Value& text_elements) {
        nb::object s = settings();
        if (!nb::cast<bool>(s.attr("save_snapshots")())) return;
        nb::object os = nb::module_::import_("os");
        std::string directory = py::text_arg(os.attr("fspath")(s.attr("log_path")()), "LOG_PATH");
        PlaywrightPage port(page);
        std::string url = reading([&] { return port.url(); });
        std::string path;
        try {
            path = br::write_snapshot(directory, url, elements, text_elements);
        } catch (const std::exception& e) {
            PyErr_SetString(PyExc_OSError, e.what());
            throw nb::python_error();
        }
        nb::module_::import_("builtins")
            .attr("print")(py::text_object("  [DOM snapshot saved \xe2\x86\x92 " + path + "]"));
    }
};

// The parser holds its page; an agent that holds both the parser and the
// page (or a page that refers back) makes a cycle the collector must see.
int dom_parser_traverse(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(Py_TYPE(self));
    if (!nb::inst_ready(self)) return 0;
    Py_VISIT(nb::inst_ptr<DOMParser>(self)->page.ptr());
    return 0;
}

int dom_parser_clear(PyObject* self) {
    nb::inst_ptr<DOMParser>(self)->page.reset();
    return 0;
}

PyType_Slot dom_parser_slots[] = {{Py_tp_traverse, reinterpret_cast<void*>(dom_parser_traverse)},
                                  {Py_tp_clear, reinterpret_cast<void*>(dom_parser_clear)},
                                  {0, nullptr}};

}  // namespace

NB_MODULE(pagereader, m) {
    py::prepare_module();
    m.doc() = "Reads the live page into element descriptors and text elements.";

    m.attr("_NATIVE_TAGS") = name_list(br::kNativeTags);
    m.attr("_ARIA_ROLES") = name_list(br::kAriaRoles);
    m.attr("CAPTURED_ATTRIBUTES") = name_list(br::kCapturedAttributes);
    m.attr("_TEXT_TAGS") = name_list(br::kTextTags);
    m.attr("INTERACTABLE_SELECTOR") = py::text_object(br::interactable_selector());
    m.attr("TEXT_SELECTOR") = py::text_object(br::text_selector());
    m.attr("_CUSTOM_INPUT_SELECTOR") = py::text_object(br::kCustomInputSelector);
    m.attr("_XPATH_JS") = py::text_object(br::kXPathJs);
    m.attr("_CURSOR_POINTER_JS") = py::text_object(br::kCursorPointerJs);
    m.attr("_BULK_READ_JS") = py::text_object(br::bulk_read_js());

    m.def(
        "_is_custom_input",
        [](nb::handle tag, nb::handle classes) {
            std::string t = py::text_arg(tag, "tag");
            std::string c = classes.is_none() ? std::string() : py::text_arg(classes, "classes");
            return br::is_custom_input(t, c);
        },
        nb::arg("tag").none(), nb::arg("classes").none());

    nb::class_<DOMParser>(m, "DOMParser",
                          "Queries the page DOM and returns structured, interactable element descriptors.",
                          nb::type_slots(dom_parser_slots))
        .def(
            "__init__",
            [](DOMParser* self, nb::handle page) {
                if (page.is_none()) py::raise_type_error("page must be a Playwright Page, not None");
                new (self) DOMParser{nb::borrow(page)};
            },
            nb::arg("page").none())
        .def_rw("page", &DOMParser::page)
        .def("extract_interactable_elements",
             [](DOMParser& self) {
                 PlaywrightPage port(self.page);
                 const bool bulk = bulk_mode();
                 br::PageRead read = reading([&] {
                     return bulk ? br::read_in_one_call(port) : br::PageReader(port).read();
                 });
                 RecordWriter writer;
                 nb::list elements = writer.list(read.elements);
                 nb::list texts = writer.list(read.text_elements);
                 self.save_snapshot(Value(std::move(read.elements)), Value(std::move(read.text_elements)));
                 return nb::make_tuple(elements, texts);
             },
             "Read the page: (element descriptors, text elements); writes a snapshot when enabled.")
        .def("extract_text_elements",
             [](DOMParser& self) {
                 PlaywrightPage port(self.page);
                 const bool bulk = bulk_mode();
                 return to_list(reading([&] {
                     return bulk ? br::text_elements_in_one_call(port) : br::PageReader(port).text_elements();
                 }));
             },
             "The visible text elements of the page, wrappers removed.")
        .def("_extract_custom_inputs",
             [](DOMParser& self) {
                 PlaywrightPage port(self.page);
                 return to_list(reading([&] { return br::PageReader(port).custom_inputs(); }));
             },
             "Extract non-native editable fields identified by class naming conventions.")
        .def("_extract_cursor_pointer_elements",
             [](DOMParser& self) {
                 PlaywrightPage port(self.page);
                 return to_list(reading([&] { return br::PageReader(port).cursor_pointer_elements(); }));
             },
             "Clickable containers (pointer cursor, short text), read in one page call.")
        .def(
            "_get_field_label",
            [](DOMParser& self, nb::handle handle) {
                if (!nb::hasattr(handle, "get_attribute"))
                    py::raise_type_error(std::string("handle must be an ElementHandle, not ") + py::kind_name(handle));
                PlaywrightPage port(self.page);
                PlaywrightElement element(nb::borrow(handle));
                return py::text_object(reading([&] { return br::PageReader(port).field_label(element); }));
            },
            nb::arg("handle").none())
        .def("_collect_label_candidates",
             [](DOMParser& self) {
                 PlaywrightPage port(self.page);
                 return to_list(reading([&] { return br::PageReader(port).label_candidates(); }));
             },
             "Short headings, labels and single-line texts that can title a section or field.")
        .def(
            "_assign_spatial_labels",
            [](DOMParser&, nb::handle elements, nb::handle candidates) {
                py::Records records = py::records_arg(elements, "elements");
                py::Records cands = py::records_arg(candidates, "label_candidates");
                auto labelled = br::assign_spatial_labels(records.values, cands.values);
                for (auto& [position, label] : labelled) {
                    nb::object element = records.object_at(position);
                    nb::object attrs = nb::borrow(PyDict_GetItemString(element.ptr(), "attributes"));
                    if (!attrs.is_valid() || !PyDict_Check(attrs.ptr())) {
                        attrs = nb::dict();
                        element["attributes"] = attrs;
                    }
                    attrs["_label"] = py::text_object(label);
                }
            },
            nb::arg("elements").none(), nb::arg("label_candidates").none())
        .def_static(
            "_dedup_text_elements",
            [](nb::handle candidates) {
                py::Records records = py::records_arg(candidates, "candidates");
                return records.objects_at(br::dedup_text_positions(records.values));
            },
            nb::arg("candidates").none())
        .def(
            "_save_snapshot",
            [](DOMParser& self, nb::handle elements, nb::handle text_elements) {
                Value e = py::to_value(elements, "elements");
                Value t = py::to_value(text_elements, "text_elements");
                self.save_snapshot(e, t);
            },
            nb::arg("elements").none(), nb::arg("text_elements").none());
}

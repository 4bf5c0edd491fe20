// The page read: interactable elements from three sources, field labels,
// nearest-heading labels and visible texts, all through the Page port.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tarnwick/browser/port.hpp"
#include "tarnwick/core/value.hpp"

namespace tarnwick::browser {

struct PageRead {
    Sequence elements;
    Sequence text_elements;
};

// _is_custom_input: a non-native element whose classes say it takes input.
bool is_custom_input(std::string_view tag, std::string_view classes);

class PageReader {
public:
    explicit PageReader(Page& page) : page_(page) {}

    // Everything but the snapshot: main pass, custom fields, clickable
    // containers, spatial labels and the de-duplicated texts.
    PageRead read();

    Sequence main_pass();
    Sequence custom_inputs();
    Sequence cursor_pointer_elements();
    std::string field_label(Element& element);
    Sequence label_candidates();
    Sequence text_elements();

private:
    Page& page_;
};

// The same read in one browser call: the bulk script captures every fact,
// and the reader runs on the captured page.
PageRead read_in_one_call(Page& page);
Sequence text_elements_in_one_call(Page& page);

// Gives every element without a label the nearest candidate drawn above it
// and overlapping it horizontally. Returns (position, label) for each element
// labelled, after storing the label in its attributes.
std::vector<std::pair<std::size_t, std::string>> assign_spatial_labels(Sequence& elements,
                                                                       const Sequence& candidates);

}  // namespace tarnwick::browser

// Stream and substream attributes: the substreams of a stream (TKSSID), the
// components of a substream that carry attributes and their attributes
// (TKSNAC, TKSNCA, TKSSCA, TKSCAT), and the attributes of a substream itself
// (TKSNSA, TKSSSA, TKSSAT).
//
// Attribute values sit in "STR_CATT" (qualifiers "SUBSTREAM", "COMPONENTS",
// "CATNAME" the attribute, "CATTR" the element) and "SUBSATT" ("SUBSTREAM",
// "SATNAME"), one real per element. The values of one attribute are
// consecutive, so counting works on changes between consecutive values.
// Elements are returned as stored, without unit conversion.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/text_field.hpp"

namespace flowsum {

// TKSSID: the substreams of "STR_MAIN" in order of appearance, at most n.
void stream_substreams(std::string_view stream, int64_t n, char* names, size_t names_len);

// TKSNAC: number of components with attributes in a substream.
int64_t attribute_component_count(std::string_view stream, std::string_view substream);

// TKSNCA: the k-th component with attributes and its number of attributes
// (0 past the end, the component then being the last one walked).
int64_t component_attribute_count(std::string_view stream, std::string_view substream,
                                  int64_t k, TextField component);

// TKSSCA: the k-th attribute of a component and its number of elements.
int64_t component_attribute_at(std::string_view stream, std::string_view substream,
                               std::string_view component, int64_t k, TextField name);

// TKSCAT: the element names and values of one component attribute. Returns
// the error flag: 1 only for an unknown stream.
int64_t component_attribute_values(std::string_view stream, std::string_view substream,
                                   std::string_view component, std::string_view attribute,
                                   char* elements, size_t elements_len, double* values);

// TKSNSA, TKSSSA, TKSSAT: the same one level up, for substream attributes.
int64_t substream_attribute_count(std::string_view stream, std::string_view substream);
int64_t substream_attribute_at(std::string_view stream, std::string_view substream, int64_t k,
                               TextField name);
int64_t substream_attribute_values(std::string_view stream, std::string_view substream,
                                   std::string_view attribute, double* values);

}  // namespace flowsum

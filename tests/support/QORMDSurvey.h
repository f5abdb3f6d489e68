// SPDX-License-Identifier: Apache-2.0
// The classes and attributes of a parsed metadata document as the diff's
// loader takes them, read from the DOM alone: for fuzz cases that judge a
// run by the documents rather than by the library's model. No test
// framework: the fuzzers link it too.
#pragma once

#include <string>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

// An element's Uuid upper-cased, as the model keys it.
std::u16string QORMDKeyOf(const xercesc::DOMElement* element);

struct QORMDSurveyedClass {
    const xercesc::DOMElement* element;
    std::u16string key;
    std::vector<std::u16string> attributes;  // keys, in document order
};

// The package's classes in document order (a class that repeats a key stands
// again), each with its attributes; the skipped children (Comment and
// KIBComment, Interface and Enum classes, InterfaceImplementation and
// Enumerator attributes) left out.
std::vector<QORMDSurveyedClass> QORMDSurvey(const xercesc::DOMElement* package);

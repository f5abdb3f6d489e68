// SPDX-License-Identifier: Apache-2.0
// DOM handles on Xerces-C 3 nodes.
//
// A handle points at one node. A shared handle shares the ownership of the
// node's document: as long as one is held, the document and every node in
// it stay alive, also after cDDLXMLParser::terminate; the last to go releases
// the document (and its use of the Xerces runtime). A borrowed handle owns
// nothing and costs no more than a pointer to copy: it is for holders that
// live inside something that keeps the document alive (the elements and
// fields of a model, below the element that shares the document).
// A default-constructed handle is null and owns nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

#include <xercesc/dom/DOM.hpp>

template <class T>
class QORMUDomHandle {
public:
    QORMUDomHandle() = default;
    QORMUDomHandle(std::nullptr_t) {}  // NOLINT: a null handle reads naturally

    // A handle on node that shares the document ownership of keeper.
    template <class U>
    QORMUDomHandle(const QORMUDomHandle<U>& keeper, T* node) : p_(keeper.p_, node) {}

    // Conversion to a handle of a base type (element to node, and so on).
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    QORMUDomHandle(const QORMUDomHandle<U>& other) : p_(other.p_) {}  // NOLINT

    T* operator->() const { return p_.get(); }
    T* get() const { return p_.get(); }
    bool isNull() const { return p_.get() == nullptr; }
    explicit operator bool() const { return !isNull(); }
    void reset() { p_.reset(); }

    // A handle on another node of the same document, sharing its ownership.
    template <class U>
    QORMUDomHandle<U> share(U* node) const {
        return QORMUDomHandle<U>(*this, node);
    }
    // A handle on another node of the same document that owns nothing.
    template <class U>
    QORMUDomHandle<U> borrow(U* node) const {
        return QORMUDomHandle<U>(std::shared_ptr<U>(std::shared_ptr<U>(), node));
    }

    // Owns document: releases it, and the Xerces use taken for it, with the last handle.
    static QORMUDomHandle adopt(std::shared_ptr<T> document) { return QORMUDomHandle(std::move(document)); }

private:
    template <class>
    friend class QORMUDomHandle;
    explicit QORMUDomHandle(std::shared_ptr<T> p) : p_(std::move(p)) {}

    std::shared_ptr<T> p_;
};

using DOM_Document = QORMUDomHandle<xercesc::DOMDocument>;
using DOM_Node = QORMUDomHandle<xercesc::DOMNode>;
using DOM_Element = QORMUDomHandle<xercesc::DOMElement>;
using DOM_Attr = QORMUDomHandle<xercesc::DOMAttr>;
using DOM_DOMException = xercesc::DOMException;

#include "library/EventListXml.h"

#include <windows.h>
#include <msxml2.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "framework/ComPtr.h"
#include "framework/MemoryStream.h"
#include "framework/Trace.h"
#include "library/EventListText.h"

namespace eventxml {
namespace {

// Not every SDK declares these; the values are the platform's.
const CLSID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const CLSID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// Far beyond 100,000 records; a bigger file is not an index we wrote.
constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
    explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    std::wstring text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

vnt::ComPtr<IXMLDOMDocument> createDocument() {
    vnt::ComPtr<IXMLDOMDocument> doc;
    HRESULT hr = CoCreateInstance(kDomDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, doc.putVoid());
    if (FAILED(hr))
        hr = CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, doc.putVoid());
    if (FAILED(hr)) {
        vnt::trace(L"EventListXml: no XML document object (0x%08lx)", static_cast<unsigned long>(hr));
        return vnt::ComPtr<IXMLDOMDocument>();
    }
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    doc->put_preserveWhiteSpace(VARIANT_TRUE);  // texts come back exactly, spaces included
    vnt::ComPtr<IXMLDOMDocument2> doc2;
    if (SUCCEEDED(doc->QueryInterface(kIXMLDOMDocument2, doc2.putVoid()))) {
        VARIANT on;
        VariantInit(&on);
        on.vt = VT_BOOL;
        on.boolVal = VARIANT_TRUE;
        Bstr prohibit(L"ProhibitDTD");
        doc2->setProperty(prohibit.get(), on);  // MSXML 3 does not know it; the byte scan covers that case
    }
    return doc;
}

bool contains(const std::vector<uint8_t>& bytes, const void* needle, size_t length) {
    const auto* n = static_cast<const uint8_t*>(needle);
    if (bytes.size() < length) return false;
    for (size_t i = 0; i + length <= bytes.size(); ++i)
        if (bytes[i] == n[0] && std::memcmp(&bytes[i], n, length) == 0) return true;
    return false;
}

// Our files never carry a DTD. Refusing any keeps entity expansion and external resources out,
// whatever the parser's own settings allow; checked in UTF-8 and both UTF-16 orders.
bool hasDoctype(const std::vector<uint8_t>& bytes) {
    static const char ascii[] = "<!DOCTYPE";
    uint8_t le[18], be[18];
    for (int i = 0; i < 9; ++i) {
        le[2 * i] = static_cast<uint8_t>(ascii[i]);
        le[2 * i + 1] = 0;
        be[2 * i] = 0;
        be[2 * i + 1] = static_cast<uint8_t>(ascii[i]);
    }
    return contains(bytes, ascii, 9) || contains(bytes, le, 18) || contains(bytes, be, 18);
}

std::wstring nodeName(IXMLDOMNode* node) {
    Bstr name;
    node->get_nodeName(name.put());
    return name.text();
}

std::wstring nodeText(IXMLDOMNode* node) {
    Bstr text;
    node->get_text(text.put());
    return text.text();
}

vnt::ComPtr<IXMLDOMNode> firstChild(IXMLDOMNode* node) {
    vnt::ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.put());
    return child;
}

vnt::ComPtr<IXMLDOMNode> nextSibling(IXMLDOMNode* node) {
    vnt::ComPtr<IXMLDOMNode> next;
    node->get_nextSibling(next.put());
    return next;
}

bool isElement(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

VNTSkeoEvent readRecord(IXMLDOMNode* eventNode) {
    VNTSkeoEvent record;
    for (vnt::ComPtr<IXMLDOMNode> child = firstChild(eventNode); child; child = nextSibling(child.get())) {
        if (!isElement(child.get())) continue;
        const std::wstring name = nodeName(child.get());
        if (name == L"EventType")
            record.type = parseEventTypeText(nodeText(child.get()));
        else if (name == L"EventFolder")
            record.folder = nodeText(child.get());
        else if (name == L"EventName")
            record.name = nodeText(child.get());
        else if (name == L"Resolution")
            record.resolution = nodeText(child.get());
        else if (name == L"PictureSize")
            record.pictureSize = nodeText(child.get());
    }
    return record;
}



}  // namespace


ReadResult parse(const std::vector<uint8_t>& bytes, std::vector<VNTSkeoEvent>& records) {
    if (bytes.size() > kMaxFileBytes || hasDoctype(bytes)) return ReadResult::Unreadable;
    // Our own files take the quick way; the DOM judges everything else.
    if (parseEventListFast(bytes.data(), bytes.size(), records) == FastParse::Parsed) return ReadResult::Read;
    records.clear();
    vnt::ComPtr<IXMLDOMDocument> doc = createDocument();
    if (!doc) {
        vnt::trace(L"EventListXml: no XML document object");
        return ReadResult::Unreadable;
    }
    vnt::ComPtr<vnt::MemoryStream> stream;
    stream.attach(vnt::MemoryStream::create(bytes.size()));
    if (!stream || FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr))) return ReadResult::Unreadable;
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);

    VARIANT source;
    VariantInit(&source);
    source.vt = VT_UNKNOWN;
    source.punkVal = static_cast<IStream*>(stream.get());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(doc->load(source, &loaded)) || loaded != VARIANT_TRUE) return ReadResult::Unreadable;

    // The first EventList element anywhere in the document.
    vnt::ComPtr<IXMLDOMNodeList> lists;
    Bstr tag(L"EventList");
    vnt::ComPtr<IXMLDOMNode> list;
    if (FAILED(doc->getElementsByTagName(tag.get(), lists.put())) || !lists ||
        FAILED(lists->get_item(0, list.put())) || !list)
        return ReadResult::Unreadable;

    for (vnt::ComPtr<IXMLDOMNode> node = firstChild(list.get()); node; node = nextSibling(node.get()))
        if (isElement(node.get())) records.push_back(readRecord(node.get()));
    return ReadResult::Read;
}

}  // namespace eventxml

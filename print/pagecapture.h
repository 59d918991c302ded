// A print that keeps its page: the page is composed by the PageComposer exactly as
// for any target, and then kept here instead of being handed over. The print
// run (print/stampascala.h) then ends as a print the user chose not to make:
// it says nothing and gives the speed and angle back as every print does.
// The preview draws the kept page, and the copy of the tables reads the
// cells kept on it (Page::cells).
#pragma once

#include <memory>
#include <optional>

#include "print/page.h"
#include "print/printer.h"

namespace rotamet::print {

class PageCapture {
public:
    PageCapture();
    ~PageCapture();
    PageCapture(const PageCapture &) = delete;
    PageCapture &operator=(const PageCapture &) = delete;

    // The printer to run the print on.
    Printer &printer();

    // Once the print has run to its end: the page composed, with its
    // tables' cells. Nothing when the print stopped before.
    const std::optional<Page> &page() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace rotamet::print

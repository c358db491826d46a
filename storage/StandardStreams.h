#pragma once

// Standard input, output and error closed by whoever started the program (`zukaro --print-pdf
// a.csv - >&-`): the next file the program opened would take the closed one's number, and what
// is meant for standard output would be written into it (Qt's event descriptor, a font, the
// product master). They are opened on the null device before anything else is opened.
namespace zukaro {

// Call first thing in main, once.
void keepStandardStreamsOpen();

// Whether standard output was closed when the program started: "-" as the output then has
// nowhere to go.
bool standardOutputWasClosed();

}  // namespace zukaro

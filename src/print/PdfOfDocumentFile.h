#pragma once

class QString;

// Prints a document file to a new PDF file as the main window prints it: loaded as the
// document pane loads a file (objects kept, rich text read, lines wrapped), with the main
// window's printer settings and no progress window. Throws the pane's load errors.
void PrintDocumentFileToPdf(const QString &documentFile, const QString &pdfFile);

// The folder a transition's relative paths are read from: the project's.
//
// MLT's XML loader reads the document's folder (its <mlt root="...">, or
// where the file lies) and puts it in front of the paths it knows to be
// files ("resource", "luma"), but not in front of ours, and keeps it nowhere
// a service can ask for it. So the transition goes up the services it feeds
// to the outermost one: a "root" property on the way wins, else the document
// the outermost tractor was read from names its root.
#pragma once

#include <string>

extern "C" {
#include <framework/mlt_service.h>
}

namespace glimmer {

// Empty when there is no project to go by (a command line, a document given
// as text): paths are then read from the working folder.
std::string projectRoot(mlt_service service);

// The root attribute of an MLT document's <mlt> element, or the folder of
// the document when it has none.
std::string documentRoot(const std::string& documentPath);

}  // namespace glimmer

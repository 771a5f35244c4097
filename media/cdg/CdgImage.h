#pragma once

#include <string>

struct CdgPicture;

// Writes a CD+G picture as a 300×216 PNG image with its 16-colour palette. False with a user
// text in `error` when it cannot be encoded or written; a file already there is then untouched.
bool WriteCdgPng(const CdgPicture& picture, const std::string& path, std::string& error);

// The driver's "state" line: the program as a test sees it.
#pragma once

#include <string>

class CMainFrame;
class HeadlessHost;

std::string StateLine(CMainFrame& frame, HeadlessHost& host);

#!/bin/sh
# The same program as examples/cmake, built with pkg-config (C++20, as the headers need).
set -e
c++ -std=c++20 -o ask_name "$(dirname "$0")/../cmake/main.cpp" $(pkg-config --cflags --libs velmarith)

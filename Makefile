BUILD_DIR ?= build
CMAKE_FLAGS ?=
SANITIZE_DIR ?= build-sanitize
FUZZ_SECONDS ?= 60

# Leaks are reported; the suppressions name the few that Qt and fontconfig keep on purpose.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build test demo bench gallery clean sanitize sanitize-build fuzz package package-check abi-check wheel

all: build

deps:
	@tools/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j2

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Only the command and the library: the tests and benchmarks are built by `make test`.
demo: configure
	cmake --build $(BUILD_DIR) -j2 --target velmarith
	$(BUILD_DIR)/velmarith demo

bench: build
	cmake --build $(BUILD_DIR) -j2 --target benchmarks
	for b in $(BUILD_DIR)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done
	QT_QPA_PLATFORM=offscreen PYTHONPATH=$(BUILD_DIR)/python /usr/bin/python3 bench/python_calls.py

gallery: build
	cmake --build $(BUILD_DIR) --target render_gallery

$(SANITIZE_DIR)/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(SANITIZE_DIR) -G Ninja -DVELMARITH_SANITIZE=ON \
		-DVELMARITH_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"

# The library and every test built with clang, AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-build: deps $(SANITIZE_DIR)/build.ninja
	$(SANITIZER_ENV) cmake --build $(SANITIZE_DIR) -j2

sanitize: sanitize-build
	cd $(SANITIZE_DIR) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Each fuzz target for FUZZ_SECONDS, starting from its kept seeds.
fuzz: sanitize-build
	$(SANITIZER_ENV) tools/run-fuzzers.sh $(SANITIZE_DIR)/fuzz tests/fuzz/corpus $(FUZZ_SECONDS)

# The Python package as a wheel, in $(BUILD_DIR)/wheels/, for pip in any environment; built
# from a copy, since pip builds in place.
wheel: deps
	rm -rf $(BUILD_DIR)/wheel-source && mkdir -p $(BUILD_DIR)/wheel-source
	cp -r python/pyproject.toml python/velmarith $(BUILD_DIR)/wheel-source/
	rm $(BUILD_DIR)/wheel-source/velmarith/_location.py.in
	/usr/bin/python3 -m pip wheel --quiet --no-deps --no-index --no-build-isolation -w $(BUILD_DIR)/wheels $(BUILD_DIR)/wheel-source

# The four Debian packages, in $(BUILD_DIR)/packages/.
package: build
	cd $(BUILD_DIR) && cpack -G DEB -B packages

# The library's binary interface against the baseline in abi/: hosts built against it still run.
abi-check: build
	@tools/install-deps.sh packaging
	tools/check-abi.sh $(BUILD_DIR)/src/libVelmarith.so $(CURDIR) $(BUILD_DIR)

# The packages as a host machine meets them: lintian finds no error, they install with
# apt-get, a consumer builds against /usr and Python imports them; then they are purged.
package-check: abi-check package
	tools/check-packages.sh $(BUILD_DIR)/packages $(CURDIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)

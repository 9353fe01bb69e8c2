BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build test demo bench gallery clean

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

demo: build
	$(BUILD_DIR)/velmarith demo

bench: build
	cmake --build $(BUILD_DIR) -j2 --target benchmarks
	for b in $(BUILD_DIR)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done

gallery: build
	cmake --build $(BUILD_DIR) --target render_gallery

clean:
	rm -rf $(BUILD_DIR)

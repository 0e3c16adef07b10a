# Thin wrappers around CMake.
BUILD ?= build
EXAMPLE ?= examples/multiply

.PHONY: all build run test clean

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j 2

# Assemble the example program from the project root, where etc/ lives.
run: build
	./$(BUILD)/Assembler-Pass2 $(EXAMPLE)
	@echo "----- $(EXAMPLE).o -----"
	@cat $(EXAMPLE).o

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2

clean:
	rm -rf $(BUILD)

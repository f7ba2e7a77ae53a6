// A window's picture through the graphics processor: a Direct3D 11 device and a flip-model swap
// chain (DXGI_SWAP_EFFECT_FLIP_DISCARD, two buffers, B8G8R8A8) of a frame's size, which the
// system stretches over the window's client area (DXGI_SCALING_STRETCH). Present() uploads the
// frame into the back buffer (width x height pixels at its stride: 2 MB at a 960 x 540 grid
// instead of the 33 MB of a stretched 3840 x 2160 picture) and presents it.
//
// Create() never reports an error to the user: it returns an empty chain and says why in a
// short word, "no-d3d11" (no d3d11.dll or no export), "no-device" (the system gave no hardware
// device), "software-adapter" (the device runs on the processor, like Microsoft's Basic Render
// Driver), "no-factory", "no-swap-chain". d3d11.dll is loaded at run time, so that the program
// starts where it is missing. COM references are released when the chain goes.
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dxgi1_2.h>

#include <memory>
#include <optional>

#include "platform/frame.h"
#include "platform/handles.h"

namespace lumora::platform {

class GpuSwapChain {
public:
    // why: where Create fails, the reason's word (see above); untouched otherwise.
    static std::unique_ptr<GpuSwapChain> Create(HWND window, int width, int height,
                                                const char** why);
    ~GpuSwapChain();
    GpuSwapChain(const GpuSwapChain&) = delete;
    GpuSwapChain& operator=(const GpuSwapChain&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // The frame (of the chain's size) on the window; false when the system did not take it
    // (a lost device, a failed present): the caller draws another way from then on.
    bool Present(const FrameView& frame);

private:
    GpuSwapChain() = default;

    // Released in reverse order: the chain and the context before the device and the library.
    std::optional<LoadedLibrary> library_;
    ComReference<ID3D11Device> device_;
    ComReference<ID3D11DeviceContext> context_;
    ComReference<IDXGISwapChain1> swapChain_;
    int width_ = 0, height_ = 0;
};

}  // namespace lumora::platform

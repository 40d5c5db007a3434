#!/usr/bin/python3
"""Draws the ORV Q12 panel images beside this script: 100.png (background), 101.png (knob,
81 frames), 103.png (footswitch, 2 frames), 105.png (toggle switch, 2 frames), 106.png
(input strip, 101 frames) and 107.png (status light, 2 frames: lit, dark), the same six at twice
the size in 2x/ (for displays at 200%, drawn from the same geometry, not enlarged), and icon.png,
the standalone program's icon (256 x 256). Run it by hand when the artwork changes and commit the
PNGs:

    /usr/bin/python3 resources/img/draw_panel.py

It needs Debian's python3-cairo and python3-numpy (the first python3 on the PATH of our
machines does not see them) and the DejaVu fonts. The output is deterministic.

Control positions come from the editor layout: knobs at x 18, 102, 186, y 64 (95 x 95 frames),
switches at (63, 277) and (211, 277), footswitch at (125, 233), input strip at (56, 328),
status light at (139, 212).
Controls are composited by their alpha over the background, so their frames have transparent
surroundings and carry their own soft shadows; the light comes from the top left.
"""

import math
import os

import cairo
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling factor of the numpy-rendered parts
# Output pixels per panel unit of the set being drawn (1 or 2). Geometry stays in panel units;
# array sizes, edge sharpness and blur radii, which are in pixels, follow K.
K = 1
LIGHT = np.array([-0.55, -0.83])  # direction towards the light, image coordinates (y down)

CREAM = (0.93, 0.89, 0.78)
AMBER = (1.0, 0.66, 0.16)


# ---------------------------------------------------------------------------------------------
# Premultiplied RGBA float images (H x W x 4) and their conversion to cairo surfaces and PNGs.

def blank(w, h):
    return np.zeros((h * K, w * K, 4), dtype=np.float64)


def over(dst, color, coverage):
    """Composites a colour (scalar, RGB triple, or H x W x 3 array) with a coverage mask."""
    cov = np.clip(coverage, 0.0, 1.0)[..., None]
    rgb = np.broadcast_to(np.asarray(color, dtype=np.float64), dst.shape[:2] + (3,))
    dst[..., :3] = rgb * cov + dst[..., :3] * (1.0 - cov)
    dst[..., 3:] = cov + dst[..., 3:] * (1.0 - cov)


def over_image(dst, src):
    dst[:] = src + dst * (1.0 - src[..., 3:])


def downsample(img, factor=SS):
    h, w = img.shape[0] // factor, img.shape[1] // factor
    return img.reshape(h, factor, w, factor, 4).mean(axis=(1, 3))


def to_surface(img):
    h, w = img.shape[:2]
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    stride = surface.get_stride()
    data = np.ndarray((h, stride // 4, 4), dtype=np.uint8, buffer=surface.get_data())
    rgba = np.clip(np.rint(img * 255.0), 0, 255).astype(np.uint8)
    data[:, :w, 0] = rgba[..., 2]  # cairo's native little-endian order: B, G, R, A
    data[:, :w, 1] = rgba[..., 1]
    data[:, :w, 2] = rgba[..., 0]
    data[:, :w, 3] = rgba[..., 3]
    surface.mark_dirty()
    return surface


def from_surface(surface):
    surface.flush()
    w, h, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = np.ndarray((h, stride // 4, 4), dtype=np.uint8, buffer=surface.get_data())
    img = np.empty((h, w, 4))
    img[..., 0] = data[:, :w, 2]
    img[..., 1] = data[:, :w, 1]
    img[..., 2] = data[:, :w, 0]
    img[..., 3] = data[:, :w, 3]
    return img / 255.0


def save(img, name):
    folder = HERE if K == 1 else os.path.join(HERE, "%dx" % K)
    os.makedirs(folder, exist_ok=True)
    to_surface(img).write_to_png(os.path.join(folder, name))


def stack(frames):
    return np.concatenate(frames, axis=0)


# ---------------------------------------------------------------------------------------------
# Geometry helpers on supersampled grids.

def grid(w, h, cx, cy, factor=SS):
    """Pixel-centre coordinates relative to (cx, cy), in output pixels."""
    ys, xs = np.mgrid[0:h * factor * K, 0:w * factor * K]
    return (xs + 0.5) / (factor * K) - cx, (ys + 0.5) / (factor * K) - cy


def disc(r, radius, soft=None):
    soft = soft if soft is not None else 1.0 / (SS * K)
    return np.clip((radius - r) / soft + 0.5, 0.0, 1.0)


def ring(r, inner, outer):
    return disc(r, outer) * (1.0 - disc(r, inner))


def segment_mask(x, y, x0, y0, x1, y1, half_width):
    """Capsule from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    t = np.clip(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0)
    dist = np.hypot(x - (x0 + t * dx), y - (y0 + t * dy))
    return disc(dist, half_width)


def blur(a, radius):
    """Three box blurs approximate a Gaussian of about `radius` pixels."""
    out = a.copy()
    k = max(1, int(radius))
    for _ in range(3):
        for axis in (0, 1):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (k + 1, k)
            c = np.cumsum(np.pad(out, pad, mode="constant"), axis=axis)
            n = out.shape[axis]
            hi = np.take(c, np.arange(2 * k + 1, 2 * k + 1 + n), axis=axis)
            lo = np.take(c, np.arange(0, n), axis=axis)
            out = (hi - lo) / (2 * k + 1)
    return out


def shadow(w, h, mask_fn, dx, dy, radius, opacity):
    """A soft shadow: the mask (a function of x, y at 1x) offset and blurred."""
    x, y = grid(w, h, 0, 0, 1)
    a = mask_fn(x - dx, y - dy)
    img = blank(w, h)
    over(img, (0.0, 0.0, 0.0), blur(a, radius * K) * opacity)
    return img


def hexagon(x, y, circumradius, rotation=0.0):
    """Coverage of a regular hexagon and the index of the facet each point lies towards."""
    ang = np.arctan2(y, x) - rotation
    sector = np.floor((ang + math.pi / 6) / (math.pi / 3))
    apothem = circumradius * math.cos(math.pi / 6)
    centre = sector * math.pi / 3 + rotation
    dist = x * np.cos(centre) + y * np.sin(centre)
    return np.clip((apothem - dist) * (SS * K) + 0.5, 0.0, 1.0), centre, apothem - dist


def lambert(nx, ny, nz):
    n = np.sqrt(nx * nx + ny * ny + nz * nz)
    light = np.array([LIGHT[0], LIGHT[1], 0.9])
    light /= np.linalg.norm(light)
    return (nx * light[0] + ny * light[1] + nz * light[2]) / n


# ---------------------------------------------------------------------------------------------
# 101.png: the knob. Black knurled skirt, satin top, brushed aluminium cap, cream pointer.

KNOB = 95
KNOB_FRAMES = 81


def knob_frame(angle, static):
    x, y = static["x"], static["y"]
    r, theta = static["r"], static["theta"]
    img = blank(KNOB * SS, KNOB * SS)

    # Knurled skirt: 44 ridges that turn with the knob, lit as a cylinder wall.
    ridges = 0.5 + 0.5 * np.cos(44 * (theta - angle))
    wall = 0.10 + 0.16 * np.clip(static["radial_light"], 0, 1) + 0.05 * ridges
    over(img, np.stack([wall] * 3, axis=-1), disc(r, 26.0))
    # Chamfer between skirt and top face.
    chamfer = 0.16 + 0.22 * np.clip(static["radial_light"], 0, 1)
    over(img, np.stack([chamfer] * 3, axis=-1), disc(r, 21.6))
    # Satin black top face with a soft gradient towards the light.
    top = 0.085 + 0.05 * static["face_gradient"]
    over(img, np.stack([top] * 3, axis=-1), disc(r, 20.4))

    # Cream pointer on the black face.
    px, py = math.sin(angle), -math.cos(angle)
    over(img, CREAM, segment_mask(x, y, 15.2 * px, 15.2 * py, 19.6 * px, 19.6 * py, 1.45))

    # Brushed aluminium cap: circular brushing, a fixed two-lobed sheen, a dark chamfer.
    over(img, (0.05, 0.05, 0.05), disc(r, 14.6))
    metal = np.clip(static["metal"], 0, 1)
    over(img, np.stack([metal * 0.98, metal * 0.99, metal], axis=-1), disc(r, 13.6))
    # Engraved indicator line in the cap.
    over(img, (0.12, 0.12, 0.13), segment_mask(x, y, 4.0 * px, 4.0 * py, 11.5 * px, 11.5 * py, 0.8))
    over(img, (1.0, 1.0, 1.0), 0.25 * segment_mask(x + 0.5, y + 0.5, 4.0 * px, 4.0 * py,
                                                   11.5 * px, 11.5 * py, 0.45))
    frame = downsample(img)
    out = static["shadow"].copy()
    over_image(out, frame)
    return out


def knob_static():
    """What every frame of the knob shares: its grid, lighting, brushing and shadow."""
    c = KNOB / 2.0
    x, y = grid(KNOB, KNOB, c, c)
    r = np.hypot(x, y)
    theta = np.arctan2(y, x)
    rr = np.maximum(r, 1e-6)
    radial_light = (x * LIGHT[0] + y * LIGHT[1]) / rr
    rng = np.random.default_rng(101)
    brushing = np.interp(r, np.linspace(0, 16, 400), rng.normal(0.0, 1.0, 400))
    sheen = np.cos(2 * (theta - math.atan2(LIGHT[1], LIGHT[0])))
    static = {
        "x": x, "y": y, "r": r, "theta": theta,
        "radial_light": radial_light,
        "face_gradient": (x * LIGHT[0] + y * LIGHT[1]) / 20.0,  # 1 towards the light
        "metal": 0.66 + 0.16 * sheen + 0.035 * brushing - 0.004 * r,
        "shadow": shadow(KNOB, KNOB, lambda sx, sy: np.clip(26.5 - np.hypot(sx - c, sy - c), 0, 1),
                         1.8, 3.6, 3, 0.65),
    }
    return static


def draw_knob_strip():
    static = knob_static()
    frames = []
    for i in range(KNOB_FRAMES):
        angle = math.radians(-150.0 + 300.0 * i / (KNOB_FRAMES - 1))
        frames.append(knob_frame(angle, static))
    save(stack(frames), "101.png")


# ---------------------------------------------------------------------------------------------
# 103.png: the footswitch, a chrome stomp switch seen from above (up, then pressed).

FOOT = 45


def chrome(shade):
    """Maps a lighting value to a cool chrome colour with contrast in the highlights."""
    s = np.clip(shade, 0, 1)
    v = 0.18 + 0.78 * s ** 1.6
    return np.stack([v * 0.97, v * 0.99, v], axis=-1)


def footswitch_frame(pressed):
    c = FOOT / 2.0
    x, y = grid(FOOT, FOOT, c, c)
    r = np.hypot(x, y)
    rr = np.maximum(r, 1e-6)
    img = blank(FOOT * SS, FOOT * SS)

    # Hex nut: flat top, chamfered facets lit by their direction.
    cover, centre, inside = hexagon(x, y, 19.0, math.pi / 6)
    facet = 0.42 + 0.55 * (np.cos(centre) * LIGHT[0] + np.sin(centre) * LIGHT[1])
    over(img, chrome(facet), cover)
    top_face = np.clip((inside - 2.2) * (SS * K) + 0.5, 0, 1) * cover
    gradient = 0.62 + 0.14 * (x * LIGHT[0] + y * LIGHT[1]) / 19.0
    over(img, chrome(gradient), top_face)
    # Threaded bushing and the dark gap around the plunger.
    over(img, chrome(0.35 + 0.25 * (x * LIGHT[0] + y * LIGHT[1]) / rr), disc(r, 13.2))
    over(img, (0.06, 0.06, 0.07), disc(r, 11.4))

    # The plunger cap: a chrome dome; pressed, it sinks and catches less light.
    radius = 10.0 if pressed else 10.6
    offset = 0.5 if pressed else 0.0
    yc = y - offset
    rc = np.hypot(x, yc)
    # Chrome reflects its surroundings: a bright sky above a dark horizon band, so the dome's
    # shade follows the vertical component of its normal.
    ny = yc / radius
    sky = np.clip(-ny * 1.3 + 0.25, 0, 1)
    horizon = np.exp(-((ny - 0.28) ** 2) / 0.03)
    specular = np.exp(-((x + 3.4) ** 2 + (yc + 3.8) ** 2) / (4.0 if pressed else 6.0))
    dome = 0.42 + 0.42 * sky - 0.32 * horizon + 0.25 * np.clip(ny, 0, 1) ** 2
    dome += (0.35 if pressed else 0.6) * specular
    if pressed:
        dome *= 0.82
    over(img, chrome(dome), disc(rc, radius))
    # Fine concentric rings on the cap face.
    rings = 0.04 * np.cos(rc * 2.6)
    over(img, (1.0, 1.0, 1.0), np.clip(rings, 0, None) * disc(rc, radius - 1.5))

    frame = downsample(img)
    out = shadow(FOOT, FOOT, lambda sx, sy: hexagon_mask_1x(sx - c, sy - c, 19.0),
                 1.2 if pressed else 1.8, 2.6 if pressed else 3.6, 2, 0.7)
    over_image(out, frame)
    return out


def hexagon_mask_1x(x, y, circumradius):
    ang = np.arctan2(y, x) - math.pi / 6
    sector = np.floor((ang + math.pi / 6) / (math.pi / 3))
    centre = sector * math.pi / 3 + math.pi / 6
    dist = x * np.cos(centre) + y * np.sin(centre)
    return np.clip((circumradius * math.cos(math.pi / 6) - dist) * K + 0.5, 0, 1)


def draw_footswitch():
    save(stack([footswitch_frame(False), footswitch_frame(True)]), "103.png")


# ---------------------------------------------------------------------------------------------
# 105.png: the toggle switch, a chrome bat lever on a hex nut (off: lever down; on: lever up).

TOGGLE = 32


def toggle_frame(on):
    c = TOGGLE / 2.0
    x, y = grid(TOGGLE, TOGGLE, c, c)
    r = np.hypot(x, y)
    rr = np.maximum(r, 1e-6)
    img = blank(TOGGLE * SS, TOGGLE * SS)
    direction = -1.0 if on else 1.0  # lever towards the top when on
    facing = (x * LIGHT[0] + y * LIGHT[1]) / rr

    # Toothed lock washer, hex nut, threaded bushing with its hole.
    teeth = 0.5 + 0.5 * np.cos(14 * np.arctan2(y, x))
    over(img, chrome(0.34 - 0.16 * facing + 0.06 * teeth), disc(r, 11.4))
    cover, centre, inside = hexagon(x, y, 9.6, 0.0)
    facet = 0.40 + 0.55 * (np.cos(centre) * LIGHT[0] + np.sin(centre) * LIGHT[1])
    over(img, chrome(facet), cover)
    over(img, chrome(0.70 - 0.10 * facing), np.clip((inside - 1.5) * (SS * K) + 0.5, 0, 1) * cover)
    threads = 0.5 + 0.5 * np.cos(r * 9.0)
    over(img, chrome(0.45 - 0.25 * facing + 0.08 * threads), disc(r, 5.4))
    over(img, (0.05, 0.05, 0.06), disc(r, 3.5))

    # The lever's own shadow falls down and to the right on the nut.
    tip = 11.0 * direction
    over(img, (0.0, 0.0, 0.0), 0.40 * segment_mask(x - 1.8, y - 2.4, 0.0, 0.0, 0.0, tip, 2.6))
    # Lever: a tapered rod ending in a ball, shaded as a cylinder across its width.
    t = np.clip(y / tip, 0.0, 1.0)
    half_width = 1.7 + 0.6 * t
    rod = disc(np.abs(x), half_width) * (y * direction >= -1.5) * (y * direction <= abs(tip))
    across = np.clip(x / np.maximum(half_width, 1e-3), -1, 1)
    rod_shade = 0.62 - 0.40 * across + 0.30 * np.exp(-((across + 0.35) ** 2) / 0.08)
    over(img, chrome(rod_shade), rod)
    over(img, chrome(0.55 + 0.25 * -facing), disc(np.hypot(x, y + 0.3 * direction), 2.4))
    ball_r = 3.4
    rb = np.hypot(x, y - tip)
    nz = np.sqrt(np.clip(1 - (rb / ball_r) ** 2, 0, 1)) + 0.2
    ball = 0.30 + 0.55 * lambert(x / ball_r, (y - tip) / ball_r, nz)
    ball += 0.55 * np.exp(-((x + 1.2) ** 2 + (y - tip + 1.2) ** 2) / 1.4)
    over(img, chrome(ball), disc(rb, ball_r))

    frame = downsample(img)
    out = shadow(TOGGLE, TOGGLE, lambda sx, sy: np.clip(11.6 - np.hypot(sx - c, sy - c), 0, 1),
                 1.2, 2.2, 2, 0.6)
    over_image(out, frame)
    return out


def draw_toggle():
    save(stack([toggle_frame(False), toggle_frame(True)]), "105.png")


# ---------------------------------------------------------------------------------------------
# 106.png: the input strip, a recessed slot that fills with an amber LED ladder.

STRIP_W, STRIP_H, STRIP_FRAMES = 184, 8, 101


def strip_frame(level):
    x, y = grid(STRIP_W, STRIP_H, 0, 0)
    img = blank(STRIP_W * SS, STRIP_H * SS)
    # Rounded slot, darker at the top where the panel's edge shades it.
    dx = np.maximum(np.maximum(4.0 - x, x - (STRIP_W - 4.0)), 0.0)
    dy = np.abs(y - 4.0)
    slot = disc(np.hypot(dx, dy), 4.0)
    depth = 0.05 + 0.05 * np.clip((y - 1.0) / 6.0, 0, 1)
    over(img, np.stack([depth, depth, depth * 1.1], axis=-1), slot)

    inner_left, inner_right = 2.0, STRIP_W - 2.0
    fill_end = inner_left + (inner_right - inner_left) * level
    ex = np.maximum(np.maximum(4.0 - x, x - (STRIP_W - 4.0)), 0.0)
    inner = disc(np.hypot(ex, np.abs(y - 4.0)), 2.6)
    # Unlit segments stay faintly visible, so the empty strip still reads as a scale.
    segment = ((x - inner_left) % 4.0) < 3.0
    lit = np.clip((fill_end - x) * (SS * K) + 0.5, 0, 1)
    glow = 1.0 - 0.35 * np.abs(y - 3.6) / 2.6
    amber = np.stack([AMBER[0] * glow, AMBER[1] * glow ** 1.5, AMBER[2] * glow], axis=-1)
    over(img, (0.22, 0.13, 0.06), inner * segment * 0.55)
    over(img, amber, inner * segment * lit)
    # The handle: a bright cream bar at the setting.
    handle = np.clip(1.0 - np.abs(x - np.clip(fill_end, 3.0, STRIP_W - 3.0)) / 1.1, 0, 1)
    over(img, CREAM, handle * slot * (np.abs(y - 4.0) < 3.6))
    return downsample(img)


def draw_input_strip():
    frames = [strip_frame(i / (STRIP_FRAMES - 1)) for i in range(STRIP_FRAMES)]
    save(stack(frames), "106.png")


# ---------------------------------------------------------------------------------------------
# 107.png: the status light, a red LED in a chrome bezel above the footswitch (lit, then dark).

LIGHT_SIZE = 17
LED_RED = (1.0, 0.16, 0.08)


def light_frame(lit):
    c = LIGHT_SIZE / 2.0
    x, y = grid(LIGHT_SIZE, LIGHT_SIZE, c, c)
    r = np.hypot(x, y)
    rr = np.maximum(r, 1e-6)
    facing = (x * LIGHT[0] + y * LIGHT[1]) / rr
    img = blank(LIGHT_SIZE * SS, LIGHT_SIZE * SS)

    # The glow a lit LED throws onto the paint around its bezel.
    if lit:
        over(img, LED_RED, 0.7 * np.exp(-(r / 4.4) ** 2) * (1.0 - disc(r, 4.6)))
    # Chrome bezel: a ring lit on its upper left, dark on its lower right.
    over(img, chrome(0.50 + 0.35 * facing), disc(r, 4.7))
    over(img, chrome(0.30 - 0.25 * facing), disc(r, 3.9))
    # The lens: a domed diffuser, glowing from its die when lit, a deep red when dark.
    nz = np.sqrt(np.clip(1 - (r / 3.3) ** 2, 0, 1))
    if lit:
        core = np.exp(-(r / 1.9) ** 2)
        lens = np.stack([np.full(r.shape, LED_RED[0]), LED_RED[1] + 0.70 * core,
                         LED_RED[2] + 0.55 * core], axis=-1)
    else:
        shade = 0.16 + 0.10 * nz
        lens = np.stack([shade, shade * 0.10, shade * 0.08], axis=-1)
    over(img, np.clip(lens, 0, 1), disc(r, 3.3))
    # A small reflection of the light on the dome.
    over(img, (1.0, 1.0, 1.0), (0.45 if lit else 0.55) * disc(np.hypot(x + 1.1, y + 1.2), 0.8))

    frame = downsample(img)
    out = shadow(LIGHT_SIZE, LIGHT_SIZE,
                 lambda sx, sy: np.clip(4.9 - np.hypot(sx - c, sy - c), 0, 1), 0.8, 1.2, 1, 0.55)
    over_image(out, frame)
    return out


def draw_light():
    save(stack([light_frame(True), light_frame(False)]), "107.png")


# ---------------------------------------------------------------------------------------------
# 100.png: the enclosure, oxblood powder coat with cream print, screws and the knob scales.

W, H = 300, 350
KNOB_CENTRES = [(18 + 47.5, 64 + 47.5), (102 + 47.5, 64 + 47.5), (186 + 47.5, 64 + 47.5)]
SWITCH_CENTRES = [(63 + 16, 277 + 16), (211 + 16, 277 + 16)]
FOOT_CENTRE = (125 + 22.5, 233 + 22.5)
STRIP_RECT = (56, 328, 184, 8)


def rounded_rect_distance(x, y, left, top, right, bottom, radius):
    """Signed distance inside a rounded rectangle (positive inside)."""
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hx, hy = (right - left) / 2.0 - radius, (bottom - top) / 2.0 - radius
    qx, qy = np.abs(x - cx) - hx, np.abs(y - cy) - hy
    outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0)) + np.minimum(np.maximum(qx, qy), 0)
    return radius - outside


def enclosure():
    x, y = grid(W, H, 0, 0)
    img = blank(W * SS, H * SS)
    over(img, (0.05, 0.045, 0.045), np.ones(x.shape))
    d = rounded_rect_distance(x, y, 1.0, 1.0, W - 1.0, H - 1.0, 16.0)
    body = np.clip(d * (SS * K) + 0.5, 0, 1)

    rng = np.random.default_rng(100)
    small = lambda scale: np.kron(rng.normal(0, 1, (H // scale + 1, W // scale + 1)),
                                  np.ones((scale * SS * K, scale * SS * K)))[:H * SS * K, :W * SS * K]
    orange_peel = blur(small(2), 3 * K) * 2.0
    grain = np.kron(rng.normal(0, 1, (H, W)), np.ones((SS * K, SS * K)))
    # The same random field at every K, so the 2x set shows the 1x set's flakes.
    flakes = (rng.random((H * SS, W * SS)) > 0.9975) * rng.random((H * SS, W * SS))
    flakes = np.kron(flakes, np.ones((K, K)))
    vertical = y / H
    base = np.array([0.36, 0.066, 0.060])
    shade = (1.08 - 0.25 * vertical) * (1.0 + 0.03 * orange_peel + 0.008 * grain)
    centre_distance = np.hypot((x - W / 2.0) / W, (y - H / 2.0) / H)
    paint = base * (shade * (1.0 - 0.35 * centre_distance ** 2))[..., None]
    paint += (flakes * 0.35)[..., None] * np.array([1.0, 0.70, 0.55])
    # Rolled edge: lit on the upper left, shaded on the lower right.
    gx = np.gradient(d, axis=1) * (SS * K)
    gy = np.gradient(d, axis=0) * (SS * K)
    edge = np.exp(-np.clip(d, 0, None) / 2.2)
    facing = -(gx * LIGHT[0] + gy * LIGHT[1])
    paint *= (1.0 + 0.55 * edge * facing)[..., None]
    paint *= (1.0 - 0.5 * np.exp(-np.clip(d, 0, None) / 0.8))[..., None]
    over(img, np.clip(paint, 0, 1), body)
    return downsample(img)


def screw(img, cx, cy, rotation):
    w, h = 15, 15
    x, y = grid(w, h, 7.5, 7.5)
    r = np.hypot(x, y)
    rr = np.maximum(r, 1e-6)
    layer = blank(w * SS, h * SS)
    over(layer, (0.0, 0.0, 0.0), 0.55 * disc(np.hypot(x - 0.8, y - 1.2), 5.6, 1.6))
    nz = np.sqrt(np.clip(1 - (r / 5.2) ** 2, 0, 1)) + 0.6
    over(layer, chrome(0.25 + 0.55 * lambert(x / 5.2, y / 5.2, nz)), disc(r, 5.2))
    ca, sa = math.cos(rotation), math.sin(rotation)
    u, v = x * ca + y * sa, -x * sa + y * ca
    slot = disc(np.abs(u), 0.75) * (np.abs(v) < 3.6) + disc(np.abs(v), 0.75) * (np.abs(u) < 3.6)
    over(layer, (0.08, 0.08, 0.09), np.clip(slot, 0, 1) * disc(r, 4.6))
    lit_rim = np.clip((x * LIGHT[0] + y * LIGHT[1]) / rr, 0, 1)
    over(layer, (1, 1, 1), 0.18 * ring(r, 4.6, 5.2) * lit_rim)
    small = downsample(layer)
    x0, y0 = int(round(cx - 7.5)), int(round(cy - 7.5))
    region = img[y0 * K:(y0 + h) * K, x0 * K:(x0 + w) * K]
    over_image(region, small)


def spaced_text(ctx, text, cx, baseline, size, spacing, weight=cairo.FONT_WEIGHT_BOLD,
                color=CREAM, alpha=0.95, family="DejaVu Sans", align="centre"):
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL, weight)
    ctx.set_font_size(size)
    widths = [ctx.text_extents(ch).x_advance for ch in text]
    total = sum(widths) + spacing * (len(text) - 1)
    x = cx - total / 2.0 if align == "centre" else cx
    ctx.set_source_rgba(*color, alpha)
    for ch, advance in zip(text, widths):
        ctx.move_to(x, baseline)
        ctx.show_text(ch)
        x += advance + spacing
    return total


def knob_scale(ctx, cx, cy):
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(31):
        angle = math.radians(-150.0 + 10.0 * i)
        if i % 3 == 0:  # eleven major ticks, one per unit of the 0..10 scale
            inner, outer, width, alpha = 31.0, 36.5, 1.5, 0.92
        else:
            inner, outer, width, alpha = 32.0, 34.5, 0.9, 0.55
        sx, sy = math.sin(angle), -math.cos(angle)
        ctx.set_source_rgba(*CREAM, alpha)
        ctx.set_line_width(width)
        ctx.move_to(cx + inner * sx, cy + inner * sy)
        ctx.line_to(cx + outer * sx, cy + outer * sy)
        ctx.stroke()
    for value, angle in (("0", -150.0), ("10", 150.0)):
        a = math.radians(angle)
        tx, ty = cx + 42.5 * math.sin(a), cy - 42.5 * math.cos(a) + 3.0
        spaced_text(ctx, value, tx, ty, 7.0, 0.0, alpha=0.8)


def rule(ctx, x0, x1, y, alpha=0.6):
    ctx.set_source_rgba(*CREAM, alpha)
    ctx.set_line_width(1.0)
    ctx.move_to(x0, y + 0.5)
    ctx.line_to(x1, y + 0.5)
    ctx.stroke()


def draw_background():
    img = enclosure()
    surface = to_surface(img)
    ctx = cairo.Context(surface)
    ctx.scale(K, K)
    font_options = cairo.FontOptions()
    font_options.set_antialias(cairo.ANTIALIAS_GRAY)
    font_options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    ctx.set_font_options(font_options)

    # Maker and product name.
    spaced_text(ctx, "ORV AUDIO", W / 2.0, 21.0, 8.0, 3.2)
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(27.0)
    orv = ctx.text_extents("ORV ").x_advance
    q12 = ctx.text_extents("Q12").x_advance
    left = W / 2.0 - (orv + q12) / 2.0
    ctx.set_source_rgba(*CREAM, 0.97)
    ctx.move_to(left, 51.0)
    ctx.show_text("ORV ")
    ctx.set_source_rgba(*AMBER, 1.0)
    ctx.move_to(left + orv, 51.0)
    ctx.show_text("Q12")
    rule(ctx, 40, 94, 17, 0.45)
    rule(ctx, 206, 260, 17, 0.45)

    for (cx, cy), label in zip(KNOB_CENTRES, ("DRIVE", "FILTER", "VOLUME")):
        knob_scale(ctx, cx, cy)
        spaced_text(ctx, label, cx, 173.0, 9.5, 1.6)

    # The effect's name between the knobs and the footswitch, set off by two rules.
    width = spaced_text(ctx, "OVERDRIVE", W / 2.0, 206.0, 8.0, 4.0, alpha=0.8)
    rule(ctx, 30, W / 2.0 - width / 2.0 - 10, 202, 0.5)
    rule(ctx, W / 2.0 + width / 2.0 + 10, W - 30, 202, 0.5)

    # Switch legends: the lever points at the active one.
    for (cx, cy), up, down in zip(SWITCH_CENTRES, ("STEREO", "HQ"), ("MONO", "STD")):
        spaced_text(ctx, up, cx, 271.0, 8.0, 1.4)
        spaced_text(ctx, down, cx, 320.0, 6.5, 1.2, alpha=0.8)
    spaced_text(ctx, "INPUT", W / 2.0, 322.0, 7.0, 2.4)
    spaced_text(ctx, "\u2013", STRIP_RECT[0] - 8.0, 335.5, 8.0, 0.0, alpha=0.8)
    spaced_text(ctx, "+", STRIP_RECT[0] + STRIP_RECT[2] + 8.0, 335.5, 8.0, 0.0, alpha=0.8)

    img = from_surface(surface)

    # A dark bezel around the input strip's slot.
    x, y = grid(W, H, 0, 0, 1)
    sx, sy, sw, sh = STRIP_RECT
    bezel = rounded_rect_distance(x, y, sx - 2, sy - 2, sx + sw + 2, sy + sh + 2, 6.0)
    over(img, (0.02, 0.01, 0.01), 0.55 * np.clip(bezel * K + 0.5, 0, 1))

    for (cx, cy), rotation in zip(((13, 13), (287, 13), (13, 337), (287, 337)),
                                  (0.3, 1.1, 0.7, 0.15)):
        screw(img, cx, cy, rotation)
    img[..., 3] = 1.0
    save(img, "100.png")


# ---------------------------------------------------------------------------------------------
# icon.png: orv-q12's icon, 256 x 256: a square of the enclosure's paint with a knob, the lit
# status light and the name.

ICON = 256


def draw_icon():
    x, y = grid(ICON, ICON, 0, 0)
    img = blank(ICON * SS, ICON * SS)
    d = rounded_rect_distance(x, y, 8.0, 8.0, ICON - 8.0, ICON - 8.0, 36.0)
    over(img, (0.0, 0.0, 0.0), 0.45 * np.exp(-np.clip(-d + 3.0, 0, None) / 3.0) * (d < 6.0))
    gx = np.gradient(d, axis=1) * SS
    gy = np.gradient(d, axis=0) * SS
    edge = np.exp(-np.clip(d, 0, None) / 4.0)
    facing = -(gx * LIGHT[0] + gy * LIGHT[1])
    shade = (1.08 - 0.25 * y / ICON) * (1.0 + 0.55 * edge * facing)
    paint = np.array([0.36, 0.066, 0.060]) * shade[..., None]
    over(img, np.clip(paint, 0, 1), np.clip(d * SS + 0.5, 0, 1))
    img = downsample(img)

    # The knob, twice its size on the panel, turned to about two o'clock.
    knob = knob_frame(math.radians(60.0), knob_static())
    big = np.kron(knob, np.ones((2, 2, 1)))
    k0 = (ICON - 2 * KNOB) // 2
    over_image(img[20:20 + 2 * KNOB, k0:k0 + 2 * KNOB], big)
    light = np.kron(light_frame(True), np.ones((2, 2, 1)))
    over_image(img[30:30 + 2 * LIGHT_SIZE, 190:190 + 2 * LIGHT_SIZE], light)

    surface = to_surface(img)
    ctx = cairo.Context(surface)
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(44.0)
    orv = ctx.text_extents("ORV ").x_advance
    q12 = ctx.text_extents("Q12").x_advance
    left = ICON / 2.0 - (orv + q12) / 2.0
    ctx.set_source_rgba(*CREAM, 0.97)
    ctx.move_to(left, 232.0)
    ctx.show_text("ORV ")
    ctx.set_source_rgba(*AMBER, 1.0)
    ctx.move_to(left + orv, 232.0)
    ctx.show_text("Q12")
    surface.write_to_png(os.path.join(HERE, "icon.png"))


def main():
    global K
    for K in (1, 2):
        draw_background()
        draw_knob_strip()
        draw_footswitch()
        draw_toggle()
        draw_input_strip()
        draw_light()
    K = 1
    draw_icon()


if __name__ == "__main__":
    main()

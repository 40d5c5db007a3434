-- A headless Ardour session with ORV Q12 on a track: the dummy backend's sine (-18 dBFS) as the
-- track's input, monitored through the plug-in; its controls set through Ardour change what the
-- track's meter shows, and survive saving, closing and loading the session.
-- Usage: ardour7-lua ardour_session.lua SESSION_FOLDER PLUGIN_URI
local folder, uri = arg[1], arg[2]
local failed = false
local function check(ok, what)
  if not ok then
    print("FAILED " .. what)
    failed = true
  end
end

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Sine Wave")
backend:set_sample_rate(48000)
backend:set_buffer_size(512)
AudioEngine:start(false)

-- The track's peak over 0.3 s, once a change has had 0.2 s to take.
local function Level(track)
  ARDOUR.LuaAPI.usleep(200000)
  local meter = track:peak_meter()
  meter:reset_max()
  ARDOUR.LuaAPI.usleep(300000)
  return meter:meter_level(0, ARDOUR.MeterType.MeterMaxPeak)
end

local function Report(what, db)
  print(string.format("level %-28s %8.2f dBFS", what, db))
  return db
end

create_session(folder, "orv", 48000)
local track = Session:new_audio_track(2, 2, nil, 1, "ORV", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
local plugin = ARDOUR.LuaAPI.new_plugin(Session, uri, ARDOUR.PluginType.LV2, "")
check(not plugin:isnil(), "Ardour found no plug-in " .. uri)
if failed then os.exit(1) end
check(track:add_processor_by_index(plugin, 0, nil, true) == 0, "adding the plug-in")
track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                     PBD.GroupControlDisposition.NoGroup)

-- Parameters by index: 3 Volume, 6 Bypass.
local default = Report("defaults", Level(track))
ARDOUR.LuaAPI.set_processor_param(plugin, 6, 1)
local bypassed = Report("Bypass 1 (the input)", Level(track))
ARDOUR.LuaAPI.set_processor_param(plugin, 6, 0)
ARDOUR.LuaAPI.set_processor_param(plugin, 3, 0)
local silent = Report("Volume 0", Level(track))
ARDOUR.LuaAPI.set_processor_param(plugin, 3, 10)
local loud = Report("Volume 10", Level(track))
check(math.abs(bypassed + 18) < 0.1, "Bypass did not pass the -18 dBFS sine unchanged")
check(default > -30 and math.abs(default - bypassed) > 1, "the defaults did not process")
check(silent < -90, "Volume 0 did not silence the track")
check(loud > default + 12, "Volume 10 was not louder than Volume 5")

Session:save_state("", false, false, false, false, false)
close_session()
load_session(folder, "orv")
local reloaded = nil
for route in Session:get_routes():iter() do
  if route:name() == "ORV" then reloaded = route end
end
check(reloaded ~= nil, "the track is gone after loading")
if not failed then
  local proc = reloaded:nth_plugin(0)
  check(not proc:isnil() and proc:name() == "ORV Q12", "the plug-in is gone after loading")
  if not failed then
    local volume = ARDOUR.LuaAPI.get_processor_param(proc, 3, true)
    check(volume == 10, "Volume came back as " .. tostring(volume))
    local again = Report("Volume 10, loaded again", Level(reloaded:to_track()))
    check(again > default + 12, "the loaded session does not play Volume 10")
  end
end
close_session()
if failed then os.exit(1) end
print("state kept: the session played ORV Q12, followed Volume and Bypass, and loaded them again")

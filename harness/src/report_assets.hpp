// The report's fixed stylesheet and script.
#pragma once

#include <string_view>

namespace tarnwick::reporter::assets {

inline constexpr std::string_view kStylesheet = R"css(
* { box-sizing: border-box; margin: 0; padding: 0; }
body { font-family: -apple-system, BlinkMacSystemFont, "Segoe UI", sans-serif; background: #f5f5f7; color: #1d1d1f; }
.header { background: #1d1d1f; color: #f5f5f7; padding: 24px 32px; }
.header h1 { font-size: 20px; font-weight: 600; letter-spacing: -0.3px; }
.header .meta { font-size: 13px; color: #888; margin-top: 4px; }
.summary { display: flex; gap: 16px; padding: 24px 32px; flex-wrap: wrap; }
.card { background: white; border-radius: 12px; padding: 20px 24px; flex: 1; min-width: 140px; box-shadow: 0 1px 3px rgba(0,0,0,.08); }
.card .label { font-size: 12px; color: #888; text-transform: uppercase; letter-spacing: .5px; }
.card .value { font-size: 32px; font-weight: 700; margin-top: 4px; }
.card.passed .value { color: #34c759; }
.card.failed .value { color: #ff3b30; }
.card.skipped .value { color: #ff9500; }
.card.total .value { color: #1d1d1f; }
.card.rate .value { color: #1d1d1f; }
.card.time .value { font-size: 24px; color: #1d1d1f; }
.filters { padding: 0 32px 16px; display: flex; gap: 10px; flex-wrap: wrap; align-items: center; }
.filters label { font-size: 13px; color: #888; margin-right: 4px; }
.filter-btn { padding: 6px 14px; border-radius: 20px; border: 1px solid #d1d1d6; background: white; font-size: 13px; cursor: pointer; transition: all .15s; }
.filter-btn:hover { background: #f0f0f0; }
.filter-btn.active { background: #1d1d1f; color: white; border-color: #1d1d1f; }
.filter-btn.passed.active { background: #34c759; border-color: #34c759; }
.filter-btn.failed.active { background: #ff3b30; border-color: #ff3b30; }
.filter-btn.skipped.active { background: #ff9500; border-color: #ff9500; }
.groups { padding: 0 32px 32px; display: flex; flex-direction: column; gap: 12px; }
.file-group { background: white; border-radius: 12px; overflow: hidden; box-shadow: 0 1px 3px rgba(0,0,0,.08); }
.file-header { display: flex; align-items: center; gap: 12px; padding: 14px 20px; cursor: pointer; user-select: none; border-bottom: 1px solid #f0f0f0; }
.file-header:hover { background: #fafafa; }
.chevron { font-size: 12px; color: #888; transition: transform .2s; }
.chevron.collapsed { transform: rotate(-90deg); }
.file-name { font-size: 14px; font-weight: 500; margin-right: 12px; }
.file-counts { display: flex; gap: 6px; }
.test-table { width: 40%; border-collapse: collapse; table-layout: fixed; }
.test-table colgroup col:nth-child(1) { width: 32px; }
.test-table colgroup col:nth-child(2) { }
.test-table colgroup col:nth-child(3) { width: 110px; }
.test-table colgroup col:nth-child(4) { width: 90px; }
.test-table colgroup col:nth-child(5) { width: 70px; }
.test-table thead th { padding: 8px 12px; text-align: left; font-size: 11px; text-transform: uppercase; letter-spacing: .5px; color: #888; background: #fafafa; border-bottom: 1px solid #f0f0f0; }
.test-table tbody tr { border-bottom: 1px solid #f5f5f7; transition: background .1s; }
.test-table tbody tr:last-child { border-bottom: none; }
.test-table tbody tr:hover { background: #fafafa; }
.test-table td { padding: 10px 12px; font-size: 13px; vertical-align: top; overflow: hidden; text-overflow: ellipsis; white-space: nowrap; }
.test-name { font-family: "SF Mono", "Monaco", monospace; font-size: 12px; }
.duration { color: #888; font-size: 12px; white-space: nowrap; }
.msg { margin-top: 4px; font-size: 11px; color: #ff3b30; font-family: monospace; background: #fff5f5; padding: 4px 8px; border-radius: 4px; white-space: pre-wrap; }
.badge { padding: 2px 8px; border-radius: 10px; font-size: 11px; font-weight: 500; }
.badge.passed { background: #d1f5d3; color: #1a7f37; }
.badge.failed { background: #ffd6d3; color: #cf222e; }
.badge.skipped { background: #fff3cd; color: #9a6700; }
.icon { font-size: 14px; font-weight: 700; }
.icon.passed { color: #34c759; }
.icon.failed { color: #ff3b30; }
.icon.skipped { color: #ff9500; }
.expand-btn { background: #1d1d1f; border: none; border-radius: 10px; font-size: 11px; padding: 3px 10px; cursor: pointer; color: white; white-space: nowrap; }
.expand-btn:hover { background: #444; }
.steps-table { width: 100%; border-collapse: collapse; }
.steps-table tr { border-bottom: 1px solid #f5f5f7; }
.steps-table tr:last-child { border-bottom: none; }
.steps-table td { padding: 5px 8px; vertical-align: top; }
.step-text { font-family: "SF Mono", "Monaco", monospace; font-size: 11px; color: #444; }
.step-msg { margin-top: 2px; font-size: 10px; color: #ff3b30; background: #fff5f5; padding: 2px 6px; border-radius: 3px; }
.step-screenshot { margin-top: 8px; }
.step-screenshot img { width: 320px; border-radius: 6px; border: 1px solid #e0e0e0; box-shadow: 0 2px 8px rgba(0,0,0,.1); }
.hidden { display: none; }
.collapsed-body { display: none; }
)css";

// Opened steps rows are left alone by filter(): a steps row stays visible
// when its test row is filtered out.
inline constexpr std::string_view kScript = R"js(
function filter(status, btn) {
  document.querySelectorAll('.filter-btn').forEach(function (b) { b.classList.remove('active'); });
  btn.classList.add('active');
  document.querySelectorAll('.test-row').forEach(function (row) {
    if (status !== 'all' && row.dataset.status !== status) row.classList.add('hidden');
    else row.classList.remove('hidden');
  });
  document.querySelectorAll('.file-group').forEach(function (group) {
    var visible = group.querySelectorAll('.test-row:not(.hidden)').length;
    if (visible === 0) group.classList.add('hidden');
    else group.classList.remove('hidden');
  });
}
function toggleGroup(header) {
  header.nextElementSibling.classList.toggle('collapsed-body');
  header.querySelector('.chevron').classList.toggle('collapsed');
}
function toggleSteps(id, btn) {
  var row = document.getElementById(id);
  var open = !row.classList.toggle('hidden');
  btn.textContent = open ? 'hide steps' : 'view steps';
  if (open) btn.classList.add('open');
  else btn.classList.remove('open');
  if (window.event) window.event.stopPropagation();
}
)js";

}  // namespace tarnwick::reporter::assets

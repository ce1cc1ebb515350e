// The site and the signalling of "Deux écrans" from one origin, in one node
// process: the built site as static files, PeerJS's server under
// /deux-ecrans (only the handshake goes through it: game traffic flows
// between the two browsers), the ICE servers the pages are to use, and the
// state of a room, so that a joining page can say which link is wrong.
//   GLOUTO_PORT (8000; 0 takes a free port) GLOUTO_HOST (127.0.0.1)
//   GLOUTO_SITE (the built site, ../site from here)
//   GLOUTO_STUN, GLOUTO_TURN: ICE servers' URLs, separated by commas or spaces
//   GLOUTO_TURN_SECRET: coturn's static-auth-secret (each page gets its own
//     credentials for a day); or GLOUTO_TURN_USER and GLOUTO_TURN_PASSWORD
'use strict';

const [crypto, http, path] = ['crypto', 'http', 'path'].map(require);
const express = require('express');
const {ExpressPeerServer} = require('peer');

const MOUNT = '/deux-ecrans';
const ROOM = /^[a-z2-7]{16}$/;  // salle.js makes them so
const ENDED_KEPT = 10000;       // rooms remembered as ended, oldest forgotten first
const TURN_HOURS = 24;

const env = process.env;
const site = path.resolve(env.GLOUTO_SITE || path.join(__dirname, '..', 'site'));
const urls = (value) => (value || '').split(/[\s,]+/).filter(Boolean);

// TURN's REST credentials as coturn's use-auth-secret checks them: the
// password is the HMAC of a name that carries its own expiry.
function iceServers() {
  const servers = urls(env.GLOUTO_STUN).length ? [{urls: urls(env.GLOUTO_STUN)}] : [];
  const turn = urls(env.GLOUTO_TURN);
  if (!turn.length) return servers;
  if (env.GLOUTO_TURN_SECRET) {
    const username = `${Math.floor(Date.now() / 1000) + TURN_HOURS * 3600}:glouto`;
    const credential = crypto.createHmac('sha1', env.GLOUTO_TURN_SECRET).update(username).digest('base64');
    return [...servers, {urls: turn, username, credential}];
  }
  return [...servers, {urls: turn, username: env.GLOUTO_TURN_USER || '', credential: env.GLOUTO_TURN_PASSWORD || ''}];
}

const app = express();
const server = http.createServer(app);
const open = new Set(), ended = new Set();

app.get(`${MOUNT}/config`, (request, response) => {
  response.set('Cache-Control', 'no-store').json({iceServers: iceServers()});
});
app.get(`${MOUNT}/salle/:id`, (request, response) => {
  const id = request.params.id;
  const state = !ROOM.test(id) ? 'inconnue' : open.has(id) ? 'ouverte' : ended.has(id) ? 'finie' : 'inconnue';
  response.set('Cache-Control', 'no-store').json({salle: state});
});

// Same origin only: no other site borrows this signalling.
const peers = ExpressPeerServer(server, {path: '/', allow_discovery: false, corsOptions: {origin: false}});
peers.on('connection', (client) => {
  open.add(client.getId());
  ended.delete(client.getId());
});
peers.on('disconnect', (client) => {
  const id = client.getId();
  if (!open.delete(id) || !ROOM.test(id)) return;
  ended.add(id);
  if (ended.size > ENDED_KEPT) ended.delete(ended.values().next().value);
});
app.use(MOUNT, peers);

app.use(express.static(site, {
  // A new service worker is seen at the next visit.
  setHeaders: (response, file) => { if (path.basename(file) === 'sw.js') response.set('Cache-Control', 'no-cache'); }
}));

server.listen(env.GLOUTO_PORT === undefined ? 8000 : +env.GLOUTO_PORT, env.GLOUTO_HOST || '127.0.0.1', () => {
  const {address, port} = server.address();
  const shown = address === '0.0.0.0' || address === '::' ? '127.0.0.1' : address.includes(':') ? `[${address}]` : address;
  console.log(`Glouto dans le navigateur : http://${shown}:${port}/`);
});

// The Shapley-Shubik and inclusiveness indices: the report text, the number
// block and the columns SS, II and winsets.
//
//   SS(i) = sum over the coalitions S in which i is a swing (S wins, S - i
//           loses) of (|S| - 1)! (n - |S|)! / n!: the share of the n! orders
//           of the players in which i is the one who makes the coalition win;
//   II(i) = the winning coalitions containing i / all winning coalitions;
//   winsets = the winning coalitions containing i.
//
// The worked example of every unit: three players of weights 2, 1 and 1
// who win with 3 votes. The winning coalitions are {1,2}, {1,3} and
// {1,2,3}; player 1 is a swing in all three, players 2 and 3 in one each.
// SS = 2/3, 1/6, 1/6 (player 1: two swings of size 2 weigh 1/6 each, one
// of size 3 weighs 2/6); II = 1, 2/3, 2/3.
#pragma once

struct RUNTYP;
struct REPORTTYP;
struct REPORTKINDTYP;

// The report text, to the screen, a file or a string.
void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP);
// The number block of the ".ouu" file.
void SHAPLEYOUT2(RUNTYP& R, REPORTTYP& REP);
// The report of this index for a front end without the console.
const REPORTKINDTYP& SHAPLEYKIND();
